#include "Transcript.h"

#include "OutputFormat.h"

#include <cerrno>
#include <cstring>

namespace {

std::string Hex(const std::string& bytes)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (!hex.empty())
            hex += ' ';
        hex += Digits[byte >> 4];
        hex += Digits[byte & 0x0F];
    }
    return hex;
}

}  // namespace

Transcript::Transcript() : m_start(std::chrono::steady_clock::now()) {}

bool Transcript::Open(const std::string& path, std::string& error)
{
    errno = 0;
    m_file.Reset(std::fopen(path.c_str(), "ab"));
    if (!m_file.IsValid()) {
        error = "Cannot open the transcript " + path + ": " + std::strerror(errno) + ".";
        return false;
    }
    return true;
}

long long Transcript::Now() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count();
}

void Transcript::Bytes(long long milliseconds, const std::string& port, char direction, const std::string& bytes)
{
    WriteLine(std::to_string(milliseconds) + "\t" + EscapeForText(port) + "\t" + direction + "\t" + Hex(bytes) + "\t" +
              EscapeForText(bytes));
}

void Transcript::Failure(const std::string& port, const std::string& text)
{
    WriteLine(std::to_string(Now()) + "\t" + EscapeForText(port) + "\t!\t" + EscapeForText(text));
}

// The stream buffers the lines: appending one costs a copy in memory, so the
// exchange on the port goes on at its own pace.
void Transcript::WriteLine(const std::string& line)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_file.IsValid())
        return;
    std::fputs(line.c_str(), m_file.Get());
    std::fputc('\n', m_file.Get());
}

void Transcript::Flush()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file.IsValid())
        std::fflush(m_file.Get());
}
