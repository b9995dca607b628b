// A plain connection (socket://, rfc2217://) that tells a server speaking
// TLS from one that does not. Such a server answers bytes that are no TLS
// with a TLS record (an alert), or closes the connection without a byte.
// The first fails the read that got it with TlsReason::TlsServer, instead
// of being taken as the device's or Telnet's bytes; the second with
// TlsReason::SilentClose, which says what it may mean.
#pragma once

#include "StreamPort.h"

#include <cstddef>
#include <memory>

std::unique_ptr<Stream> PlainStream(std::unique_ptr<Stream> connection);

// Whether `bytes` start as a TLS record does: a content type from
// change_cipher_spec (20) to application_data (23), then a version 3.0 to
// 3.4. No Telnet command (0xFF), no text and no device's answer starts so.
bool IsTlsRecordStart(const char* bytes, std::size_t count);
