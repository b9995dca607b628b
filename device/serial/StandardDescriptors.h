// Descriptors 0, 1 and 2 of a program started with one of them closed
// (`prog >&-`). The next file the program opens takes the lowest free number,
// so a serial port opened then would become its standard output or error and
// receive the result or the messages. Before anything is opened the closed
// ones are filled with the null device, opened read-only: a read gives end of
// file and a write fails as it did on the closed descriptor, so a closed
// standard output still counts as one that cannot be written.
#pragma once

// False when the null device cannot be opened; the program should then stop
// before opening anything. On Windows a port is a handle, never a C
// descriptor, and nothing needs filling.
bool FillClosedStandardDescriptors();
