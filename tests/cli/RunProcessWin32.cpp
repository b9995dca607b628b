#include "RunProcess.h"

#include "CommandLine.h"

#include <windows.h>

#include <thread>

namespace {

void Drain(HANDLE pipe, std::string& into)
{
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &count, NULL) && count > 0)
        into.append(buffer, count);
}

std::string WithoutCarriageReturns(const std::string& text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            plain += text[i];
    }
    return plain;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, int timeoutMs)
{
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return result;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, NULL);

    std::string commandLine = QuoteArgument(program);
    for (const std::string& arg : args)
        commandLine += " " + QuoteArgument(arg);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(NULL, &commandLine[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL,
                                        &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    CloseHandle(nul);
    if (started) {
        std::thread outReader(Drain, outRead, std::ref(result.out));
        std::thread errReader(Drain, errRead, std::ref(result.err));
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
            result.timedOut = true;
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        outReader.join();
        errReader.join();
        DWORD code = 0;
        if (!result.timedOut && GetExitCodeProcess(process.hProcess, &code))
            result.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    result.out = WithoutCarriageReturns(result.out);
    result.err = WithoutCarriageReturns(result.err);
    return result;
}
