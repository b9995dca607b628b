// Appending one entry to a file that other processes may append to at the
// same time, and getting it onto the disk before going on: the record's
// entries must never interleave, and one that says a device is about to be
// written must survive a power cut that comes right after the write.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Writes `text` to the end of `file` (opened for appending and reading,
// never written through the stream) in one write while holding an exclusive
// lock on the file. A file whose last line has no line end (a write cut
// short by a power cut) gets one first, so `text`, a line, stays one. False
// with the system's reason; on POSIX a write that failed after some of its
// bytes is cut off again (Windows's append-only handle cannot shorten the
// file; the line end before the next entry keeps that one whole).
//
// `stillWanted`, when given, is asked with the lock held, before the write:
// when it says no, nothing is written, `skipped` is set, and the call
// succeeds. What it reads of the file is what every other writer has
// finished writing.
bool AppendLocked(std::FILE* file, const std::string& text, std::string& reason,
                  const std::function<bool()>& stillWanted = nullptr, bool* skipped = nullptr);

// Flushes what was written to `file` to the disk (fdatasync,
// FlushFileBuffers). Needs no lock: many threads may wait for the disk at
// once, and the system writes their entries out together.
bool SyncToDisk(std::FILE* file, std::string& reason);
