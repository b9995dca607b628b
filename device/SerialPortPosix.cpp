#include "SerialPort.h"

// Placeholder until the back end lands.
namespace {
class NoPort : public SerialPort {
public:
    LinkResult Open(const std::string&) override { return LinkResult::OpenFailed; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    bool Write(const void*, std::size_t, std::size_t& written) override { written = 0; return false; }
    std::size_t ReadByte(char&) override { return 0; }
};
}

std::unique_ptr<SerialPort> CreateSystemSerialPort() { return std::make_unique<NoPort>(); }
