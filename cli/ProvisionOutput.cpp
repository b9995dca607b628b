#include "ProvisionOutput.h"

#include "OutputFormat.h"

ProvisionOutput::ProvisionOutput(std::ostream& out, std::ostream& err, bool json, bool check, std::size_t slots)
    : m_out(out), m_err(err), m_json(json), m_check(check), m_slots(slots)
{}

void ProvisionOutput::Start()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_json)
        m_out << ProvisionHeaderLine(m_check) << std::flush;
}

void ProvisionOutput::Begin(std::size_t slot, const PlanRow& row)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_slots[slot] = {true, false, row.line, row.port};
}

void ProvisionOutput::Writing(std::size_t slot)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_slots[slot].writing = true;
}

void ProvisionOutput::End(std::size_t slot, const ProvisionRowResult& result)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_slots[slot].atWork = false;
    m_out << FormatProvisionLine(result, m_json) << std::flush;
    ++(result.report.outcome.code == ExitCode::Success ? m_succeeded : m_failed);
}

void ProvisionOutput::ListInterrupted()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_out.flush();
    for (const Slot& slot : m_slots) {
        if (!slot.atWork)
            continue;
        m_err << "Interrupted: " << EscapeForText(slot.port) << " (line " << slot.line << "), "
              << (slot.writing ? "its configure command may have been written; not confirmed."
                               : "nothing was written to it.")
              << '\n';
    }
    m_err.flush();
}

ExitCode ProvisionOutput::Finish(std::size_t rows)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_err << m_succeeded << " of " << rows << " ports " << (m_check ? "could be provisioned" : "were provisioned")
          << ", " << m_failed << (m_check ? " could not." : " were not.") << '\n';
    return m_failed == 0 ? ExitCode::Success : ExitCode::ProvisionFailed;
}
