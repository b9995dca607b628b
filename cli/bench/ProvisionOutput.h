// What provision tells while it works: each row's line the moment the row
// ends, flushed so that a pipe or a file has it at once; the summary on
// standard error after the last; and, when the run is interrupted, the rows
// that were still at work. When standard error is a terminal, one line there
// shows the progress and is redrawn in place (done, failed, at work, time
// taken), written to the terminal's own stream and flushed at each redraw;
// it is cleared before anything else is printed, so it never mixes with a
// row or a message. Safe to use from every row's thread.
#pragma once

#include "common/ExitCode.h"
#include "ProvisionPlan.h"
#include "ProvisionReport.h"

#include <chrono>
#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

class ProvisionOutput {
public:
    // `slots`: how many rows may be at work at once, each in a slot of its
    // own, so that what is kept grows with the rows at work, not the plan.
    // `progress`: standard error when it is a terminal (the stream under
    // `err`, which holds its message lines until their end), or null for no
    // progress line.
    // `summary`: whether Finish tells the counts (not with --quiet).
    // `aligned`: text lines padded into columns, for a terminal.
    ProvisionOutput(std::ostream& out, std::ostream& err, bool json, bool check, bool summary, std::size_t slots,
                    std::ostream* progress, bool aligned = false);

    // The header line of text output, with the plan's other columns.
    void Start(const std::vector<std::string>& otherColumns);

    // The row in `slot` starts.
    void Begin(std::size_t slot, const PlanRow& row);

    // The gate each row passes before its device may be written (its
    // record entry, then its configure command): false once an interrupt
    // was taken, and the row writes nothing. `pinDrawn` is its random PIN,
    // or empty.
    bool PassWriteGate(std::size_t slot, const std::string& pinDrawn);

    // The row in `slot` ended: its line is printed.
    void End(std::size_t slot, const ProvisionRowResult& result);

    // Whether a line could not be written (a reader that went away, a full
    // disk): no row is started then, as its drawn PIN would be told nowhere.
    bool Failed();

    // For an interrupt: closes the write gate, then lists the rows still at
    // work on standard error. A row past the gate may have been written, and
    // is listed with its drawn PIN; one before it was not, and no longer can
    // be. Then `resumeHint`, the line that tells how to finish the plan. The
    // caller ends the process after it.
    void ListInterrupted(const std::string& resumeHint);

    // The summary on standard error, and provision's exit code: success only
    // when each of the plan's `rows` was done.
    ExitCode Finish(std::size_t rows);

private:
    void ClearProgress();  // with m_mutex held
    void DrawProgress();   // with m_mutex held

    struct Slot {
        bool atWork = false;
        bool writing = false;  // past the write gate
        int line = 0;
        std::string port;
        std::string pinDrawn;
    };

    std::ostream& m_out;
    std::ostream& m_err;
    const bool m_json;
    const bool m_check;
    const bool m_summary;
    const bool m_aligned;
    std::ostream* const m_progress;
    const std::chrono::steady_clock::time_point m_start;
    std::size_t m_progressWidth = 0;  // of the progress line on the terminal now
    std::size_t m_atWork = 0;
    std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::size_t m_succeeded = 0;
    std::size_t m_failed = 0;
    bool m_interrupted = false;  // the write gate is closed
};
