#include "RunRecord.h"

#include "common/CliOptions.h"
#include "common/JsonLine.h"
#include "system/LockedAppend.h"
#include "output/OutputFormat.h"
#include "system/RegularFile.h"
#include "system/UtcTime.h"

#include "TolvaneVersion.h"

#include <cstdint>
#include <vector>

namespace {

std::vector<JsonField> CommonFields(const std::string& run, const char* entry, const std::string& command,
                                    const std::string& plan, const std::string& planHash, const RecordRow& row)
{
    return {
        {"time", UtcTimeText(std::chrono::system_clock::now()), JsonValue::Text},
        {"run", run, JsonValue::Text},
        {"entry", entry, JsonValue::Text},
        {"version", TOLVANE_VERSION, JsonValue::Text},
        {"command", command, JsonValue::Text},
        {"plan", plan, JsonValue::Text},
        {"planHash", planHash, JsonValue::Text},
        {"line", row.line > 0 ? std::to_string(row.line) : "", JsonValue::Literal},
        {"port", row.port, JsonValue::Text},
        {"bluetooth", row.bluetooth, JsonValue::Text},
        {"device", row.device, JsonValue::Text},
    };
}

void AddBefore(std::vector<JsonField>& fields, const DeviceInfo& before, bool read)
{
    fields.push_back({"nameBefore", read ? DisplayNameOf(before) : "", JsonValue::DeviceText});
    fields.push_back({"firmwareBefore", before.version, JsonValue::DeviceText});
    fields.push_back({"authenticationBefore", read ? AuthenticationWord(before.auth) : "", JsonValue::Text});
    fields.push_back({"pinBefore", read ? std::string(before.pin) : "", JsonValue::DeviceText});
}

void AddAsked(std::vector<JsonField>& fields, const RecordRow& row, const std::string& pinSet)
{
    fields.push_back({"authenticationAsked", row.authAsked == KeepDeviceAuth ? "" : AuthenticationWord(row.authAsked),
                      JsonValue::Text});
    fields.push_back({"pinAsked", row.pinAsked, JsonValue::Text});
    fields.push_back({"pinSet", pinSet, JsonValue::Text});
}

const char* Boolean(bool value)
{
    return value ? "true" : "false";
}

}  // namespace

const char* const RecordHelpText =
    "--record FILE appends to FILE (created with mode 0600, never truncated,\n"
    "a regular file; one that others may read or change is used with a\n"
    "warning) one JSON object a line for each device: an entry\n"
    "\"written\", on the disk before the configure command is sent, and an\n"
    "entry \"result\" once the row ended. A \"written\" entry without its result\n"
    "names a device that may have been changed and was not confirmed. Keys,\n"
    "left out where unknown: time (UTC, ISO 8601 with milliseconds), run (the\n"
    "run's id), entry, version, command, plan and planHash (the plan's name and\n"
    "the hash of its contents), line (the plan's line), port, bluetooth (the\n"
    "device's address where the port tells it), device (provision: the device\n"
    "as --resume knows it: the Bluetooth address, else the network address's\n"
    "looked-up endpoints, else the port's resolved path or COM name),\n"
    "nameBefore, firmwareBefore,\n"
    "authenticationBefore, pinBefore (what the device reported), then\n"
    "authenticationAsked, pinAsked (random:N for a PIN to draw), pinSet (the\n"
    "PIN sent); a result also has written and verified (true or false),\n"
    "status, exitCode, reason, for a row --resume skipped earlierRun, and\n"
    "columns: the plan's other columns, by their header names.\n"
    "Text is UTF-8; bytes a device reported that are not UTF-8 are written as\n"
    "U+FFFD, with the raw bytes as hex under the key with Hex added\n"
    "(nameBeforeHex). Readers pass over keys they do not know.\n"
    "Several programs may append to one FILE at once: each entry is one write\n"
    "under a lock. An entry that cannot be written stops its row before the\n"
    "write; the command then exits 1.\n"
    "\n";

std::string PlanHash(const std::string& planText)
{
    // FNV-1a: a check that a file did not change, not a guard against anyone.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : planText) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(hash >> (56 - 8 * i));
    return HexText(std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

bool RunRecord::Open(const std::string& path, const char* command, const std::string& plan, const std::string& planText,
                     const RandomSource& random, std::ostream& err, std::string& error)
{
    m_path = path;
    m_command = command;
    m_plan = plan;
    m_planHash = plan.empty() ? "" : PlanHash(planText);
    unsigned char id[8];
    std::string reason;
    if (!random(id, sizeof id, reason)) {
        error = "Cannot draw the run's id for the record: " + reason + ".";
        return false;
    }
    m_run = HexText(std::string(reinterpret_cast<const char*>(id), sizeof id));
    m_file = OpenRegularFile(path, "ab", reason);
    if (!m_file.IsValid()) {
        error = "Cannot open the record " + EscapeForText(path) + ": " + reason + ".";
        return false;
    }
    const std::string warning = ExposedFileWarning(m_file, "record", path);
    if (!warning.empty())
        err << warning << '\n';
    return true;
}

void RunRecord::FollowOtherRuns(const EarlierRun& earlier)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_followOthers = true;
    m_others = EarlierRun();
    m_others.readUpTo = earlier.readUpTo;
    m_others.ownRun = m_run;
}

// A record that cannot be read on is no reason to stop the row: the check
// is for runs at once, and the write goes on as it would without it.
bool RunRecord::NotDoneElsewhere(const RecordRow& row)
{
    std::string error;
    if (!ReadRecordOn(m_path, m_others, error) || row.device.empty())
        return true;
    const auto done = m_others.doneDevices.find(row.device);
    return done == m_others.doneDevices.end() ||
           done->second.request != RequestKey(AuthenticationWord(row.authAsked), row.pinAsked);
}

// The entry is written under the lock and waited for on the disk outside
// it, so rows that end together share the disk's flushes.
bool RunRecord::Append(const std::string& entry, std::string& reason, const std::function<bool()>& stillWanted,
                       bool* skipped)
{
    bool written = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        written = AppendLocked(m_file.Get(), entry, reason, stillWanted, skipped);
    }
    if (skipped != nullptr && *skipped)
        return true;
    if (written && SyncToDisk(m_file.Get(), reason))
        return true;
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_writeError.empty())
        m_writeError = reason;
    return false;
}

Outcome RunRecord::Written(const RecordRow& row, const DeviceInfo& before, const std::string& pinSet)
{
    std::vector<JsonField> fields = CommonFields(m_run, "written", m_command, m_plan, m_planHash, row);
    AddBefore(fields, before, true);
    AddAsked(fields, row, pinSet);
    std::string reason;
    bool doneElsewhere = false;
    const std::function<bool()> notDoneElsewhere = [this, &row] { return NotDoneElsewhere(row); };
    if (Append(JsonObjectLine(fields), reason, m_followOthers ? notDoneElsewhere : nullptr, &doneElsewhere)) {
        if (doneElsewhere)
            return {ExitCode::Failure,
                    "Another run set this device up with the same request meanwhile: it is not "
                    "written again.",
                    DoneElsewhereStatus};
        return {};
    }
    return {ExitCode::Failure, "Cannot write the record " + EscapeForText(m_path) + ": " + reason +
                                   "; nothing was written to the device."};
}

void RunRecord::Result(const RecordRow& row, const ProvisionRowResult& result, const std::string& pinSet)
{
    const ConfigureReport& report = result.report;
    std::vector<JsonField> fields = CommonFields(m_run, "result", m_command, m_plan, m_planHash, row);
    AddBefore(fields, report.before, report.readResult == LinkResult::Ok);
    AddAsked(fields, row, pinSet);
    fields.push_back({"written", Boolean(report.written), JsonValue::Literal});
    fields.push_back({"verified", Boolean(report.verified), JsonValue::Literal});
    fields.push_back({"status", ProvisionStatusWord(result), JsonValue::Text});
    fields.push_back({"exitCode", std::to_string(ToInt(report.outcome.code)), JsonValue::Literal});
    fields.push_back({"reason", report.outcome.message, JsonValue::Text});
    Json entry = JsonObject(fields);
    AddPlanColumns(entry, row.columns);
    std::string reason;
    Append(JsonDump(entry) + "\n", reason);
}

void RunRecord::DoneEarlier(const RecordRow& row, const std::string& earlierRun)
{
    std::vector<JsonField> fields = CommonFields(m_run, "result", m_command, m_plan, m_planHash, row);
    AddAsked(fields, row, "");
    fields.push_back({"status", DoneEarlierStatus, JsonValue::Text});
    fields.push_back({"exitCode", "0", JsonValue::Literal});
    fields.push_back({"earlierRun", earlierRun, JsonValue::Text});
    Json entry = JsonObject(fields);
    AddPlanColumns(entry, row.columns);
    std::string reason;
    Append(JsonDump(entry) + "\n", reason);
}

void ConfigureAndRecord(ConfigureRequest request, std::unique_ptr<SerialPort> port, RunRecord* record,
                        const RecordRow& row, ProvisionRowResult& result, const std::function<bool()>& gate)
{
    std::string pinSent;
    request.beforeWrite = [&](const DeviceInfo& before, const std::string& pin) {
        if (gate && !gate())
            return Outcome{ExitCode::Interrupted, "Interrupted: nothing was written to the device."};
        const Outcome entry = record != nullptr ? record->Written(row, before, pin) : Outcome();
        if (entry.code == ExitCode::Success)
            pinSent = pin;
        return entry;
    };
    result.report = ConfigureDevice(request, std::move(port));
    // Done, though not by this run: the row succeeded, and --resume skips it.
    Outcome& outcome = result.report.outcome;
    if (outcome.word != nullptr && std::string(outcome.word) == DoneElsewhereStatus)
        outcome.code = ExitCode::Success;
    if (record != nullptr)
        record->Result(row, result, pinSent);
}

std::string RunRecord::WriteError()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_writeError;
}
