// Whatever bytes a plan holds, the plan reader gives a plan or an error,
// keeps its bounds, and reads back the same rows from its rows written out
// again as CSV, every field quoted. Built by the fuzz preset, run by
// tests/fuzz/run-fuzz.
#include "ProvisionPlan.h"

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
    const Plan plan = Read(std::string(reinterpret_cast<const char*>(data), size));
    Require(plan.ok == plan.error.empty(), "a plan or an error");
    if (!plan.ok)
        return 0;
    Require(!plan.rows.empty() && plan.rows.size() <= MaxPlanRows, "a plan's rows within bounds");
    std::string again = std::string(PlanHeader) + "\n";
    for (const PlanRow& row : plan.rows)
        again += Quoted(row.port) + "," + (row.auth ? "on" : "off") + "," + Quoted(row.pin) + "\n";
    const Plan reread = Read(again);
    Require(reread.ok && reread.rows.size() == plan.rows.size(), "written out, the rows read back");
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
        Require(reread.rows[i].port == plan.rows[i].port && reread.rows[i].pin == plan.rows[i].pin &&
                    reread.rows[i].auth == plan.rows[i].auth && reread.rows[i].hasPin == plan.rows[i].hasPin,
                "every field read back as it was");
    return 0;
}
