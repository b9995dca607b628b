// Advice for a port the system refused, one text per system.
#pragma once

#include "PortResult.h"

#include <string>

// What the user can do about a port the system refused them, to follow the
// system's text, or "". On Linux a port that answers EACCES belongs to a group
// (dialout on Debian) whose members alone may use it; there the port's name
// is its path.
std::string PortAccessAdvice(const std::string& port, const PortResult& result);
