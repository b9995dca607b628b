#include "EarlierRun.h"

#include "common/JsonLine.h"
#include "output/OutputFormat.h"
#include "system/RegularFile.h"

#include <cstdio>
#include <map>

namespace {

// Longer lines are no entry of this program's, whose longest is a few
// kilobytes (a reason and a name, escaped).
constexpr std::size_t MaxEntryLength = 64 * 1024;

// A plan's line, from 1 to a length no plan reaches; a record edited by
// hand may hold anything there.
bool LineNumber(const std::string& text, int& line)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    line = std::stoi(text);
    return line > 0;
}

}  // namespace

bool FindEarlierRun(const std::string& path, const std::string& plan, const std::string& planHash, EarlierRun& earlier,
                    std::string& error)
{
    earlier = EarlierRun();
    std::string reason;
    bool missing = false;
    const UniqueFile file = OpenRegularFile(path, "rb", reason, &missing);
    if (!file.IsValid() && missing)
        return true;
    if (!file.IsValid()) {
        error = "Cannot read the record " + EscapeForText(path) + ": " + reason + ".";
        return false;
    }
    std::map<std::string, std::string> fields;
    std::string line;
    bool tooLong = false;
    for (int c; (c = std::fgetc(file.Get())) != EOF;) {
        if (c != '\n') {
            tooLong = tooLong || line.size() == MaxEntryLength;
            if (!tooLong)
                line += static_cast<char>(c);
            continue;
        }
        int planLine = 0;
        if (!tooLong && ReadJsonObjectLine(line, fields) && fields["command"] == "provision" &&
            fields["plan"] == plan && fields["planHash"] == planHash && LineNumber(fields["line"], planLine)) {
            earlier.found = true;
            if (fields["entry"] == "result" && fields["exitCode"] == "0")
                earlier.doneLines[planLine] = fields["earlierRun"].empty() ? fields["run"] : fields["earlierRun"];
            else
                earlier.doneLines.erase(planLine);
        }
        line.clear();
        tooLong = false;
    }
    if (std::ferror(file.Get())) {
        error = "Cannot read the record " + EscapeForText(path) + ": the read failed.";
        return false;
    }
    return true;
}
