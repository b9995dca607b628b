// A command line as a transcript's header shows it: the arguments joined by
// spaces, with the value of every option that carries a PIN (--pin NEW,
// --pin=NEW) replaced by ***, so that a header copied into a ticket gives
// no PIN away. The bytes on the port below it still hold the PINs.
#pragma once

#include <string>
#include <vector>

std::string CommandLineWithoutPins(const std::vector<std::string>& arguments);
