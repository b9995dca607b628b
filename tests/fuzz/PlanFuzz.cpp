// Whatever bytes a plan holds, the plan reader gives a plan or an error,
// keeps its bounds, and reads back the same rows from its rows written out
// again as CSV, every field quoted; the check of a plan and the reading of
// its rows one at a time agree with it. Built by the fuzz preset, run by
// tests/fuzz/run-fuzz.
#include "bench/ProvisionPlan.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

std::string Quoted(const std::string& field)
{
    std::string quoted = "\"";
    for (char c : field)
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    return quoted + "\"";
}

Plan Read(const std::string& text)
{
    return ParsePlan(text, "fuzz", PortStyle::Posix, [](const std::string& path) { return path; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Plan plan = Read(text);
    Require(plan.ok == plan.error.empty(), "a plan or an error");
    const PlanCheck check = CheckPlan(text, "fuzz", PortStyle::Posix, [](const std::string& path) { return path; });
    Require(check.ok == plan.ok && check.error == plan.error, "the check judges as the reader");
    if (!plan.ok)
        return 0;
    Require(check.rows == plan.rows.size(), "the check counts the reader's rows");
    PlanCursor cursor(text, PortStyle::Posix);
    PlanRow row;
    for (const PlanRow& read : plan.rows)
        Require(cursor.Next(row) && row.line == read.line && row.port == read.port && row.pin == read.pin &&
                    row.randomDigits == read.randomDigits,
                "the cursor gives the reader's rows");
    Require(!cursor.Next(row), "the cursor ends with the rows");
    Require(!plan.rows.empty() && plan.rows.size() <= MaxPlanRows, "a plan's rows within bounds");
    std::string again = std::string(PlanHeader) + "\n";
    for (const PlanRow& row : plan.rows)
        again += Quoted(row.port) + "," + (row.auth ? "on" : "off") + "," +
                 Quoted(row.randomDigits > 0 ? "random:" + std::to_string(row.randomDigits) : row.pin) + "\n";
    const Plan reread = Read(again);
    Require(reread.ok && reread.rows.size() == plan.rows.size(), "written out, the rows read back");
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
        Require(reread.rows[i].port == plan.rows[i].port && reread.rows[i].pin == plan.rows[i].pin &&
                    reread.rows[i].auth == plan.rows[i].auth && reread.rows[i].hasPin == plan.rows[i].hasPin &&
                    reread.rows[i].randomDigits == plan.rows[i].randomDigits,
                "every field read back as it was");
    return 0;
}
