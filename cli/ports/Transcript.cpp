#include "Transcript.h"

#include "output/OutputFormat.h"
#include "system/RegularFile.h"
#include "system/UtcTime.h"

#include "TolvaneVersion.h"

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

bool Transcript::Open(const std::string& path, const std::string& commandLine, std::ostream& err, std::string& error)
{
    std::string reason;
    m_file = OpenRegularFile(path, "ab", reason);
    if (!m_file.IsValid()) {
        error = "Cannot open the transcript " + EscapeForText(path) + ": " + reason + ".";
        return false;
    }
    const std::string warning = ExposedFileWarning(m_file, "transcript", path);
    if (!warning.empty())
        err << warning << '\n';
    m_start = std::chrono::steady_clock::now();
    WriteLine("#\t" + UtcTimeText(std::chrono::system_clock::now()) + "\ttolvane-cli " TOLVANE_VERSION "\t" +
              EscapeForText(commandLine));
    return true;
}

long long Transcript::Now() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count();
}

void Transcript::Bytes(long long milliseconds, const std::string& port, char direction, const std::string& bytes)
{
    const std::string line = std::to_string(milliseconds) + "\t" + EscapeForText(port) + "\t" + direction + "\t" +
                             Hex(bytes) + "\t" + EscapeForText(bytes);
    WriteLine(line, direction == Sent);
}

void Transcript::Failure(const std::string& port, const std::string& text)
{
    WriteLine(std::to_string(Now()) + "\t" + EscapeForText(port) + "\t!\t" + EscapeForText(text));
}

void Transcript::Secured(const std::string& port, const std::string& text)
{
    WriteLine(std::to_string(Now()) + "\t" + EscapeForText(port) + "\t=\t" + EscapeForText(text));
}

// The stream buffers the lines: appending one costs a copy in memory, so the
// exchange on the port goes on at its own pace. A line of bytes sent to a
// device is handed to the system at once, with those before it: an
// interrupt ends the process without flushing the stream, and what reached
// a device must be in the transcript.
void Transcript::WriteLine(const std::string& line, bool flush)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_file.IsValid())
        return;
    errno = 0;
    if (std::fputs(line.c_str(), m_file.Get()) == EOF || std::fputc('\n', m_file.Get()) == EOF ||
        (flush && std::fflush(m_file.Get()) != 0))
        NoteWriteError();
}

void Transcript::Flush()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    errno = 0;
    if (m_file.IsValid() && std::fflush(m_file.Get()) != 0)
        NoteWriteError();
}

// The first failure tells the most; later ones follow from it.
void Transcript::NoteWriteError()
{
    if (m_writeError.empty())
        m_writeError = errno != 0 ? std::strerror(errno) : "write failed";
}

std::string Transcript::WriteError()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_writeError;
}
