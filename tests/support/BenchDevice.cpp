#include "BenchDevice.h"

#include "BenchNames.h"
#include "StateFile.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(10);

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Polls `done` until it holds or the time is up; checks once more at the end.
template <typename Condition>
bool WaitUntil(Condition done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(PollInterval);
    }
    return done();
}

}  // namespace

std::string BenchDevice::BenchFolder()
{
    const char* folder = std::getenv("TOLVANE_BENCH");
    if (!folder || !*folder)
        throw std::runtime_error("TOLVANE_BENCH is not set: run this test through tools/bench/with-bench");
    return folder;
}

BenchDevice::BenchDevice(int comNumber) : m_comNumber(comNumber), m_folder(BenchFolder()) {}

// "com5-state", never "com5.state": Windows opens the device COM5 for any
// name "COM5.ext".
std::string BenchDevice::FileOf(const char* suffix) const
{
    return m_folder + "/com" + std::to_string(m_comNumber) + suffix;
}

std::string BenchDevice::PortPath() const
{
#ifdef _WIN32
    return Win32PortPath(m_comNumber);
#else
    return FileOf("");
#endif
}

std::string BenchDevice::PortName() const
{
#ifdef _WIN32
    return ComName(m_comNumber);
#else
    return FileOf("");
#endif
}

void BenchDevice::SetScenario(const std::string& controlText) const
{
    // Written beside and renamed over, so the device never reads half a file
    // and sees a new file even when the text is the same as before.
    const std::string path = FileOf("-control");
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << controlText;
        if (!out.flush())
            throw std::runtime_error("cannot write " + temporary);
    }
    std::filesystem::rename(temporary, path);
}

std::string BenchDevice::Received() const
{
    return ReadWholeFile(FileOf("-transcript"));
}

void BenchDevice::MarkReceived()
{
    m_mark = Received().size();
}

std::string BenchDevice::ReceivedSinceMark() const
{
    const std::string all = Received();
    return m_mark < all.size() ? all.substr(m_mark) : std::string();
}

std::map<std::string, std::string> BenchDevice::State() const
{
    return ReadStateFile(FileOf("-state"));
}

bool BenchDevice::WaitForState(const std::string& key, const std::string& value, int timeoutMs) const
{
    return WaitUntil(
        [&] {
            const auto state = State();
            const auto found = state.find(key);
            return found != state.end() && found->second == value;
        },
        timeoutMs);
}

bool BenchDevice::WaitForReceivedSinceMark(std::size_t count, int timeoutMs) const
{
    return WaitUntil([&] { return ReceivedSinceMark().size() >= count; }, timeoutMs);
}

long BenchDevice::Count(const std::string& key) const
{
    return std::atol(State()[key].c_str());
}

BenchDevice::PortUse BenchDevice::BeginPortUse() const
{
    return {Count("releases"), Received().size()};
}

bool BenchDevice::WaitForRelease(const PortUse& use, int timeoutMs) const
{
    if (Received().size() == use.received)
        return true;
    return WaitUntil([&] { return Count("releases") > use.releases; }, timeoutMs);
}

long BenchDevice::Hangups() const
{
    return Count("hangups");
}
