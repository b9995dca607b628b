// cli/system/: the system's services (files, terminal, signals, randomness, the
// ports the system lists). May include cli/common/ and below.
//
// The files the command line reads and writes itself, a plan, a transcript
// and a record, are files on a disk. A name that leads to anything else is
// refused before it is opened where the name tells, and after the open
// otherwise, before a byte is read or written: a transcript written into a
// serial port reaches a device as commands, a plan read from a port, a FIFO
// or a terminal waits for ever. Pipes and FIFOs are refused too, so no read
// or write of these files waits on another program.
#pragma once

#include "UniqueFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Opens `path` with fopen's `mode` ("rb", or "ab", which creates the file
// for its owner only: on POSIX with mode 0600 whatever the umask, on Windows
// with one access entry, for the user, and may read it too; on POSIX the
// folder's new entry is synced to the disk) when it is a regular file,
// through symlinks. Otherwise no file, and in
// `reason` why, in words that follow "Cannot open the transcript X: " ("it is
// a device, not a file", or the system's words), and in `missing`, when
// given, whether that is because no file has that name.
UniqueFile OpenRegularFile(const std::string& path, const char* mode, std::string& reason, bool* missing = nullptr);

// Moves `file`'s reading to byte `offset` from its start, which may lie
// beyond 2 GiB on every system.
bool SeekFromStart(std::FILE* file, std::uint64_t offset);

// Reads the regular file `path` (opened as above) into `bytes`: all of it
// when it holds at most `maxBytes`, else its first `maxBytes` and one byte
// more, so that the caller can tell it is longer. When `readableByOthers`
// is given, whether others may read the file (ReadableByOthers). False with
// the reason: the open's, or "the read failed".
bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string& reason,
                     bool* readableByOthers = nullptr);

// Whether users other than the owner of the open `file` may read it, or
// write it (its group or everyone, by its mode). Windows keeps such rights
// in access lists, which are not read: false there.
bool ReadableByOthers(const UniqueFile& file);
bool WritableByOthers(const UniqueFile& file);

// For a file that holds PINs, `what` ("record", "transcript") at `path`:
// the warning to print when others may read or change it, or "". A file
// that exists keeps the mode its owner gave it; one this program creates is
// its owner's only.
std::string ExposedFileWarning(const UniqueFile& file, const std::string& what, const std::string& path);
