// A serial port that tells a Transcript what crosses the port it wraps. It
// passes every call and result on unchanged; bytes received are kept until
// the line is complete (or something else happens on the port) and then
// written as one chunk, with the time of its first byte. Input taken by a
// discard is written as discarded ('x'), at the time it was taken.
#pragma once

#include "ForwardingPort.h"
#include "Transcript.h"

#include <memory>
#include <string>

class TranscribingPort : public ForwardingPort {
public:
    // `label` names the port in the transcript: COM5, rfc2217://bench-a:2217.
    TranscribingPort(std::unique_ptr<SerialPort> port, Transcript& transcript, std::string label);
    ~TranscribingPort() override;

    PortResult Open(const std::string& path, Deadline setUpBy) override;
    void Close() override;
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte, Deadline by) override;
    PortResult DiscardInput(std::string& discarded) override;

private:
    void FlushReceived();
    void NoteFailure(const PortResult& result);

    Transcript& m_transcript;
    const std::string m_name;  // the port as people call it: COM5, /dev/rfcomm0
    std::string m_received;    // bytes of the chunk not written yet
    long long m_receivedAt = 0;
};
