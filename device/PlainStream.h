// A plain connection (socket://, rfc2217://) that tells a server speaking
// TLS from one that does not. Such a server answers bytes that are no TLS
// with a TLS record (an alert), or closes the connection without a byte.
// The first fails the read that got it with TlsReason::TlsServer, instead
// of being taken as the device's or Telnet's bytes; the second with
// TlsReason::SilentClose, which says what it may mean.
#pragma once

#include "StreamPort.h"

#include <memory>

std::unique_ptr<Stream> PlainStream(std::unique_ptr<Stream> connection);
