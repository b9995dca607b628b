#include "ProvisionOutput.h"

#include "common/MessageLines.h"
#include "output/OutputFormat.h"

#include <string>

ProvisionOutput::ProvisionOutput(std::ostream& out, std::ostream& err, bool json, bool check, bool summary,
                                 std::size_t slots, std::ostream* progress, bool aligned)
    : m_out(out),
      m_err(err),
      m_json(json),
      m_check(check),
      m_summary(summary),
      m_aligned(aligned),
      m_progress(progress),
      m_start(std::chrono::steady_clock::now()),
      m_slots(slots)
{}

// Spaces over the old line, not a terminal's control sequence: every
// console, old Windows ones too, understands a carriage return.
void ProvisionOutput::ClearProgress()
{
    if (m_progressWidth == 0)
        return;
    *m_progress << '\r' << std::string(m_progressWidth, ' ') << '\r' << std::flush;
    m_progressWidth = 0;
}

void ProvisionOutput::DrawProgress()
{
    if (m_progress == nullptr)
        return;
    const auto tenths =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count() / 100;
    const std::string line = "done " + std::to_string(m_succeeded) + ", failed " + std::to_string(m_failed) +
                             ", at work " + std::to_string(m_atWork) + ", " + std::to_string(tenths / 10) + "." +
                             std::to_string(tenths % 10) + " s";
    ClearProgress();
    *m_progress << line << std::flush;
    m_progressWidth = line.size();
}

void ProvisionOutput::Start(const std::vector<std::string>& otherColumns)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_json)
        m_out << ProvisionHeaderLine(m_check, otherColumns, m_aligned) << std::flush;
}

void ProvisionOutput::Begin(std::size_t slot, const PlanRow& row)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_slots[slot] = {true, false, row.line, row.port, ""};
    ++m_atWork;
    DrawProgress();
}

// The gate and the list below share the mutex: a row passes the gate before
// the list is made, and is listed as past it, or not at all.
bool ProvisionOutput::PassWriteGate(std::size_t slot, const std::string& pinDrawn)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_interrupted)
        return false;
    m_slots[slot].writing = true;
    m_slots[slot].pinDrawn = pinDrawn;
    return true;
}

void ProvisionOutput::End(std::size_t slot, const ProvisionRowResult& result)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_slots[slot].atWork = false;
    --m_atWork;
    ClearProgress();
    m_out << FormatProvisionLine(result, m_json, m_aligned) << std::flush;
    ++(result.report.outcome.code == ExitCode::Success ? m_succeeded : m_failed);
    DrawProgress();
}

void ProvisionOutput::ListInterrupted(const std::string& resumeHint)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_interrupted = true;
    ClearProgress();
    m_out.flush();
    for (const Slot& slot : m_slots) {
        if (!slot.atWork)
            continue;
        m_err << "Interrupted: " << EscapeForText(slot.port) << " (line " << slot.line << "), ";
        if (!slot.writing)
            m_err << "nothing was written to it.\n";
        else if (slot.pinDrawn.empty())
            m_err << "its configure command may have been written; not confirmed.\n";
        else
            m_err << "its configure command may have been written, with the PIN " << slot.pinDrawn
                  << "; not confirmed.\n";
    }
    if (!resumeHint.empty())
        m_err << HintPrefix << resumeHint << '\n';
    m_err.flush();
}

bool ProvisionOutput::Failed()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return !m_out;
}

// Rows left unstarted after a failed output count with those that failed;
// the run then exits with the failure of its output.
ExitCode ProvisionOutput::Finish(std::size_t rows)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    ClearProgress();
    const std::size_t notDone = rows - m_succeeded;
    if (m_summary)
        m_err << m_succeeded << " of " << rows << " ports " << (m_check ? "could be provisioned" : "were provisioned")
              << ", " << notDone << (m_check ? " could not." : " were not.") << '\n';
    // Output that failed is the run's failure, as the help tells it.
    if (!m_out)
        return ExitCode::Failure;
    return notDone == 0 ? ExitCode::Success : ExitCode::ProvisionFailed;
}
