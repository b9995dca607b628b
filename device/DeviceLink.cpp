#include "DeviceLink.h"

// Placeholder until the link lands.
DeviceLink::DeviceLink() : m_port(CreateSystemSerialPort()) {}
DeviceLink::DeviceLink(std::unique_ptr<SerialPort> port) : m_port(std::move(port)) {}
void DeviceLink::Close() { m_port->Close(); }
LinkResult DeviceLink::Open(const std::string& path) { return m_port->Open(path); }
bool DeviceLink::IsOpen() const { return m_port->IsOpen(); }
bool DeviceLink::Write(const void* data, std::size_t length, std::size_t& written) { return m_port->Write(data, length, written); }
LinkResult DeviceLink::ReadLine(ReplyLine&) { return LinkResult::Timeout; }
LinkResult DeviceLink::Query(DeviceInfo& info) { info = DeviceInfo{}; return LinkResult::Timeout; }
LinkResult DeviceLink::Configure(int, const std::string&) { return LinkResult::WriteFailed; }
