// Reply bytes written as text: the C escapes \n \r \t \\ \xHH, everything else
// taken as it stands. Lets a test or a person give any byte, NUL included.
#pragma once

#include <string>

// Decodes `text` into `bytes`. Returns an empty string on success, otherwise
// a message naming the bad escape.
std::string DecodeCEscapes(const std::string& text, std::string& bytes);
