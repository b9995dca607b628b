// configure --pin-file: the new PIN from the first line of a file, so that
// it is not in the list of processes or the shell's history as --pin is.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

// Enough for any PIN the device takes and its line end; a longer first line
// is cut here and then refused by the PIN's length check.
inline constexpr std::size_t MaxPinFileBytes = 64;

// The first line of the file `name`, or of `in` for "-", without its line
// end (LF or CR LF), in `pin`. Only a regular file is opened as FILE
// (RegularFile.h), and at most MaxPinFileBytes are read, so a FIFO, a device
// or a huge file cannot stall the command. False with a message when there is
// no PIN to read: the file is missing, a folder, not a regular file, empty, or
// its first line is.
bool ReadPinFile(const std::string& name, std::istream& in, std::string& pin, std::string& error);
