// The transcript's paragraph in --help, and so in the manual page: what a
// --transcript FILE holds, line by line, as Transcript.h writes it.
#pragma once

#include <string>

// Wrapped for a terminal, and followed by an empty line.
std::string TranscriptHelpText();
