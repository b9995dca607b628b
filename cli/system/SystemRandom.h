// Bytes from the operating system's cryptographic generator: getrandom(2) on
// Linux, BCryptGenRandom on Windows (bcrypt.dll, part of every Windows). There
// is no fallback to a weaker source: when the system cannot give the bytes,
// the caller gets a failure and must not go on as if it had them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Fills `size` bytes at `buffer`. False with the system's reason otherwise.
bool SystemRandomBytes(unsigned char* buffer, std::size_t size, std::string& reason);

// The generator as the commands take it, so that a test can hand them one
// that fails.
using RandomSource = std::function<bool(unsigned char* buffer, std::size_t size, std::string& reason)>;
