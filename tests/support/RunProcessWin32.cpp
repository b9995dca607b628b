#include "RunProcess.h"

#include "CommandLine.h"
#include "serial/UniqueHandle.h"

#include <windows.h>

#include <thread>

namespace {

struct Pipe {
    UniqueHandle read;
    UniqueHandle write;
};

// The write end is inherited by the program, the read end stays here.
bool MakePipe(Pipe& made, SECURITY_ATTRIBUTES& inherit)
{
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0))
        return false;
    made.read.Reset(read);
    made.write.Reset(write);
    return SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != 0;
}

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
    Pipe out, err;
    if (!MakePipe(out, inherit) || !MakePipe(err, inherit)) {
        result.startError = "CreatePipe: error " + std::to_string(GetLastError());
        return result;
    }
    UniqueHandle nul(
        CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, NULL));

    std::string commandLine = QuoteArgument(program);
    for (const std::string& arg : args)
        commandLine += " " + QuoteArgument(arg);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = out.write.Get();
    startup.hStdError = err.write.Get();
    PROCESS_INFORMATION started = {};
    const BOOL ok =
        CreateProcessA(NULL, &commandLine[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup, &started);
    const DWORD lastError = GetLastError();
    // Only the program holds the write ends now: the pipes end when it ends.
    out.write.Reset();
    err.write.Reset();
    nul.Reset();
    if (!ok) {
        result.startError = "CreateProcess: error " + std::to_string(lastError);
        return result;
    }
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);

    std::thread outReader(Drain, out.read.Get(), std::ref(result.out));
    std::thread errReader(Drain, err.read.Get(), std::ref(result.err));
    if (WaitForSingleObject(process.Get(), static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        result.timedOut = true;
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), INFINITE);
    }
    outReader.join();
    errReader.join();
    DWORD code = 0;
    if (!result.timedOut && GetExitCodeProcess(process.Get(), &code))
        result.exitCode = static_cast<int>(code);
    else if (!result.timedOut)
        result.startError = "GetExitCodeProcess: error " + std::to_string(GetLastError());
    result.out = WithoutCarriageReturns(result.out);
    result.err = WithoutCarriageReturns(result.err);
    return result;
}
