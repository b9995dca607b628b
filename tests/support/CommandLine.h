// Building a Windows command line from separate arguments.
#pragma once

#include <string>

// One argument quoted so that the C runtime's parser gives it back unchanged:
// backslashes count only before a quote. A plain word stays as it is.
std::string QuoteArgument(const std::string& arg);
