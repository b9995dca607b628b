// A transcript for support: every byte sent to and received from each port,
// as it crossed the port, and each failure with the system's reason. Lines
// are appended to a file, tab-separated. Each run starts with a header line:
//
//   #       2026-12-08T17:30:00.123Z        tolvane-cli 1.1.0     query COM5 --transcript support.log
//   12      COM5    >    6B 77 64 33 ...   kwd38m4tQZXh7
//   64      COM5    <    6B 77 64 33 ...   kwd38m4tQZXh7 1.3 1 1234 Tolvane Demo\x0A
//   5017    COM6    !    read: time-out
//   40      rfc2217+tls://bench-a:2217    =    TLS 1.3, server certificate SHA-256 AB:12:...
//
// the header's "#", the time it was written (UTC), the program and its
// version, and the command line with every --pin's value shown as ***; then
// the milliseconds since the header, the port, the direction (> to the
// device, < from it, x from it and discarded: it came before it was asked
// for, ! a failure, = how the connection was secured, or an RFC 2217
// server that did not purge what it held), the bytes in hex and
// the same bytes as text with escapes (or the failure, or the connection's
// words). Many ports may write at once; each line is written whole. The file
// must be a regular file (RegularFile.h), and is created readable by its
// owner only: it holds the PINs sent.
#pragma once

#include "system/UniqueFile.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

class Transcript {
public:
    static constexpr char Sent = '>';
    static constexpr char Received = '<';
    static constexpr char Discarded = 'x';

    // The clock starts now.
    Transcript();

    // Opens `path` for appending and writes the run's header with
    // `commandLine`, the command line after the program's name with its PINs
    // already hidden (MaskedCommandLine.h); the clock
    // starts then. False with the system's reason in `error`. A transcript
    // that others may read or change is used, with a warning on `err`.
    bool Open(const std::string& path, const std::string& commandLine, std::ostream& err, std::string& error);

    // The milliseconds since the header.
    long long Now() const;

    // One chunk of bytes that crossed `port` at `milliseconds`; `direction`
    // is Sent, Received or Discarded.
    void Bytes(long long milliseconds, const std::string& port, char direction, const std::string& bytes);

    // A failure on `port`, in words.
    void Failure(const std::string& port, const std::string& text);

    // How the connection to `port` was secured (TLS), in words.
    void Secured(const std::string& port, const std::string& text);

    // Hands what is written so far to the system.
    void Flush();

    // Why a line could not be written (a full disk, a file size limit), in
    // the system's words; "" while every line was.
    std::string WriteError();

private:
    void WriteLine(const std::string& line, bool flush = false);
    void NoteWriteError();  // with m_mutex held

    std::chrono::steady_clock::time_point m_start;
    std::mutex m_mutex;
    UniqueFile m_file;
    std::string m_writeError;
};
