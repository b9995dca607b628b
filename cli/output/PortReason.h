// Why a port operation failed, in the system's words, for the end of a
// message: the window's text stays as it is and the command line adds the
// reason after it.
#pragma once

#include "PortResult.h"
#include "system/PortAccessAdvice.h"

#include <string>

// " (PORT: the system's text)" for a result that carries the system's text,
// with advice where the system's words alone leave the user stuck (see
// PortAccessAdvice); "" when the system gave no reason (a plain time-out).
// `port` is the port as the user named it.
std::string PortReason(const std::string& port, const PortResult& result);
