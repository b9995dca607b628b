// Appending one entry to a file that other processes may append to at the
// same time, and getting it onto the disk before going on: the record's
// entries must never interleave, and one that says a device is about to be
// written must survive a power cut that comes right after the write.
#pragma once

#include <cstdio>
#include <string>

// Writes `text` to the end of `file` (opened for appending, never written
// through the stream) in one write while holding an exclusive lock on the
// file. False with the system's reason.
bool AppendLocked(std::FILE* file, const std::string& text, std::string& reason);

// Flushes what was written to `file` to the disk (fdatasync,
// FlushFileBuffers). Needs no lock: many threads may wait for the disk at
// once, and the system writes their entries out together.
bool SyncToDisk(std::FILE* file, std::string& reason);
