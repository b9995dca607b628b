// A plain connection (socket://, rfc2217://) that tells a server speaking
// TLS from one that does not: the first bytes such a server sends are a TLS
// record (an alert, as the answer to bytes that were no TLS). They fail the
// read that got them with TlsReason::TlsServer, instead of being taken as
// the device's or Telnet's bytes.
#pragma once

#include "StreamPort.h"

#include <memory>

std::unique_ptr<Stream> PlainStream(std::unique_ptr<Stream> connection);
