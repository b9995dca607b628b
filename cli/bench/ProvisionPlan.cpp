#include "ProvisionPlan.h"

#include "network/AddressLookup.h"

#include "common/CliOptions.h"
#include "common/HelpLayout.h"
#include "common/MessageLines.h"
#include "ComPortNames.h"
#include "NewSettings.h"
#include "output/OutputFormat.h"
#include "RandomPin.h"
#include "system/RegularFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <set>

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

// The separators a plan's header may use: a spreadsheet saves CSV with the
// one its locale takes (";" where the comma is the decimal point).
constexpr char Separators[] = {',', ';', '\t'};

std::string LowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads a plan's text line by line, a row at a time. Checking a plan also
// keeps the identity of every port named so far, to find one named twice,
// and counts the random PINs asked for; reading a checked plan again needs
// neither. A bad row is told and the reading goes on, so that every bad row
// is told at once; a bad header ends it.
class PlanReader {
public:
    PlanReader(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier* identify)
        : m_text(text), m_source(source), m_style(style), m_identify(identify)
    {
        m_start = m_text.compare(0, 3, ByteOrderMark) == 0 ? 3 : 0;
    }

    // The next row, or false at the end of the text or after a bad header.
    bool Next(PlanRow& row);
    // After the last row: false with the error when a line was bad or the
    // plan held no row.
    bool Finish();
    const std::string& Error() const { return m_error; }
    // The names of the header's other columns, in their order.
    std::vector<std::string> OtherColumns() const;
    const PlanRow& MissingPort() const { return m_missingPort; }

private:
    enum class LineKind { Skipped, Row, Bad };
    LineKind ReadLine(const std::string& line, PlanRow& row);
    LineKind ReadHeader(const std::string& line);
    LineKind ReadRow(const std::vector<std::string>& fields, PlanRow& row);
    bool ReadPin(const std::string& field, PlanRow& row);
    LineKind Fail(const std::string& problem, const std::string& hint = "");

    const std::string& m_text;
    const std::string m_source;
    PortStyle m_style;
    const PortIdentifier* m_identify;  // null when the plan was checked before
    std::size_t m_start = 0;           // of the next line
    int m_line = 0;
    bool m_headerSeen = false;
    bool m_stopped = false;  // a bad header: no row can be read
    char m_separator = ',';
    std::size_t m_columns = 3;
    std::size_t m_portAt = 0, m_authAt = 1, m_pinAt = 2;
    std::vector<std::pair<std::size_t, std::string>> m_others;  // place and name of each other column
    std::size_t m_rows = 0;
    std::set<std::string> m_ports;                            // identities of the ports named so far
    std::uint64_t m_randomPins[MaxRandomPinDigits + 1] = {};  // by digits
    std::vector<std::string> m_bad;                           // the first bad lines' messages
    std::size_t m_badLines = 0;
    std::string m_error;
    PlanRow m_missingPort;  // the first row whose port does not exist, when that is an error
};

bool IsBlank(char c, char separator)
{
    return c == ' ' || (c == '\t' && separator != '\t');
}

// A line's fields as CSV has them (RFC 4180), as spreadsheets write them to
// keep a PIN's leading zeros: a field in quotes may hold the separator, and
// "" in it is one quote. Blanks around a field are dropped, those inside its
// quotes kept. A quote anywhere else, or one left open, makes no fields:
// false. A quoted field ends at its line, as a plan's rows do.
bool SplitCsvFields(const std::string& line, char separator, std::vector<std::string>& fields)
{
    fields.clear();
    for (std::size_t i = 0;; ++i) {
        while (i < line.size() && IsBlank(line[i], separator))
            ++i;
        std::string field;
        if (i < line.size() && line[i] == '"') {
            for (++i;; ++i) {
                if (i >= line.size())
                    return false;  // never closed
                if (line[i] == '"' && (i + 1 >= line.size() || line[i + 1] != '"'))
                    break;
                field += line[i];
                i += line[i] == '"' ? 1 : 0;
            }
            for (++i; i < line.size() && IsBlank(line[i], separator);)
                ++i;
            if (i < line.size() && line[i] != separator)
                return false;  // something after the closing quote
        } else {
            for (; i < line.size() && line[i] != separator; ++i) {
                if (line[i] == '"')
                    return false;  // a quote inside an unquoted field
                field += line[i];
            }
            while (!field.empty() && IsBlank(field.back(), separator))
                field.pop_back();
        }
        fields.push_back(field);
        if (i >= line.size())
            return true;
    }
}

PlanReader::LineKind PlanReader::Fail(const std::string& problem, const std::string& hint)
{
    ++m_badLines;
    if (m_bad.size() < MaxToldBadPlanLines) {
        m_bad.push_back(m_source + (m_line > 0 ? ", line " + std::to_string(m_line) : std::string()) + ": " + problem +
                        (hint.empty() ? "" : "\n" + std::string(HintPrefix) + hint));
    }
    return LineKind::Bad;
}

bool PlanReader::Next(PlanRow& row)
{
    while (!m_stopped && m_start < m_text.size()) {
        ++m_line;
        std::size_t end = m_text.find('\n', m_start);
        if (end == std::string::npos)
            end = m_text.size();
        std::string line = m_text.substr(m_start, end - m_start);
        m_start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (ReadLine(line, row) == LineKind::Row)
            return true;
    }
    return false;
}

bool PlanReader::Finish()
{
    m_line = 0;
    if (m_badLines == 0 && !m_headerSeen)
        Fail(std::string("the plan is empty: it needs the header ") + PlanHeader + " and a row per port.");
    else if (m_badLines == 0 && m_rows == 0)
        Fail("the plan has no rows: nothing to do.");
    m_error.clear();
    for (const std::string& bad : m_bad)
        m_error += (m_error.empty() ? "" : "\n") + bad;
    if (m_badLines > m_bad.size())
        m_error += "\n" + m_source + ": " + std::to_string(m_badLines - m_bad.size()) + " more bad lines.";
    return m_error.empty();
}

std::vector<std::string> PlanReader::OtherColumns() const
{
    std::vector<std::string> names;
    for (const auto& other : m_others)
        names.push_back(other.second);
    return names;
}

PlanReader::LineKind PlanReader::ReadLine(const std::string& line, PlanRow& row)
{
    if (line.size() > MaxPlanLineLength) {
        m_stopped = !m_headerSeen;
        return Fail("the line is longer than " + std::to_string(MaxPlanLineLength) + " characters.");
    }
    if (line.empty())
        return LineKind::Skipped;
    if (!m_headerSeen)
        return ReadHeader(line);
    std::vector<std::string> fields;
    if (!SplitCsvFields(line, m_separator, fields))
        return Fail("the quotes do not pair up: a quoted field is \"...\" whole, with \"\" for one quote in it.");
    if (fields.size() != m_columns)
        return Fail("a row has " + std::to_string(m_columns) + " fields, as the header has, not " +
                    std::to_string(fields.size()) + ".");
    if (m_rows == MaxPlanRows)
        return Fail("a plan has at most " + std::to_string(MaxPlanRows) + " rows.");
    return ReadRow(fields, row);
}

// The header names the columns, in any order and case: port, auth and pin,
// and any others, which each row carries into the report and the record.
// Its separator is the first of Separators that gives those three names.
PlanReader::LineKind PlanReader::ReadHeader(const std::string& line)
{
    m_headerSeen = true;
    for (char separator : Separators) {
        std::vector<std::string> names;
        if (!SplitCsvFields(line, separator, names))
            continue;
        std::map<std::string, std::size_t> places;
        bool twice = false;
        for (std::size_t place = 0; place < names.size(); ++place)
            twice = !places.emplace(LowerCase(names[place]), place).second && !names[place].empty() ? true : twice;
        if (places.count("port") == 0 || places.count("auth") == 0 || places.count("pin") == 0)
            continue;
        if (twice) {
            m_stopped = true;
            return Fail("a column is named twice in the header \"" + EscapeForText(line) + "\".");
        }
        m_separator = separator;
        m_columns = names.size();
        m_portAt = places["port"];
        m_authAt = places["auth"];
        m_pinAt = places["pin"];
        for (std::size_t place = 0; place < names.size(); ++place) {
            // A column without a name, as a separator at the line's end makes, is no column of the plan's.
            if (place != m_portAt && place != m_authAt && place != m_pinAt && !names[place].empty())
                m_others.emplace_back(place, names[place]);
        }
        return LineKind::Skipped;
    }
    m_stopped = true;
    return Fail(std::string("the first line must be the header ") + PlanHeader +
                " (in any order and case, separated by , or ; or a tab), not \"" + EscapeForText(line) + "\".");
}

PlanReader::LineKind PlanReader::ReadRow(const std::vector<std::string>& fields, PlanRow& row)
{
    row = PlanRow();
    row.line = m_line;
    row.port = fields[m_portAt];
    for (const auto& other : m_others)
        row.columns.emplace_back(other.second, fields[other.first]);
    const ResolvedPort port = ResolvePortName(row.port, m_style);
    if (!port.ok)
        return Fail(port.error);
    row.address = port.address;
    if (m_identify != nullptr) {
        const std::string identity = PortIdentities(row.address, *m_identify).front();
        if (identity.empty()) {
            if (m_missingPort.port.empty())
                m_missingPort = row;
            // A Windows port name (COM5, com12) names no file elsewhere.
            const bool windowsName = m_style == PortStyle::Posix && ComPortNumber(row.port) != 0;
            return Fail("there is no port \"" + EscapeForText(row.port) + "\".", windowsName ? PortsArePathsHint : "");
        }
        if (!m_ports.insert(identity).second)
            return Fail("the port \"" + EscapeForText(row.port) + "\" is named twice.");
    }
    if (!ParsePlanAuth(fields[m_authAt], row.auth))
        return Fail("auth takes on or off (or 1 or 0), not \"" + EscapeForText(fields[m_authAt]) + "\".");
    if (!ReadPin(fields[m_pinAt], row))
        return LineKind::Bad;
    ++m_rows;
    return LineKind::Row;
}

bool PlanReader::ReadPin(const std::string& field, PlanRow& row)
{
    const RandomPinText random = ParseRandomPin(field, row.randomDigits);
    if (random == RandomPinText::Bad) {
        Fail(BadRandomPinMessage(field));
        return false;
    }
    if (random == RandomPinText::Random) {
        const int digits = row.randomDigits;
        if (++m_randomPins[digits] > MaxRandomPinsPerRun(digits)) {
            Fail("a plan may ask for at most " + std::to_string(MaxRandomPinsPerRun(digits)) + " random PINs of " +
                 std::to_string(digits) + " digits, so that they can all differ.");
            return false;
        }
        return true;
    }
    row.hasPin = !field.empty();
    row.pin = field;
    if (row.hasPin) {
        const SettingsProblem problem = CheckNewPin(row.pin);
        if (problem != SettingsProblem::None) {
            Fail(SettingsProblemMessage(problem));
            return false;
        }
    }
    return true;
}

}  // namespace

Plan ParsePlan(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier& identify)
{
    Plan plan;
    PlanReader reader(text, source, style, &identify);
    for (PlanRow row; reader.Next(row);)
        plan.rows.push_back(row);
    plan.ok = reader.Finish();
    plan.otherColumns = reader.OtherColumns();
    plan.error = reader.Error();
    if (!plan.ok)
        plan.rows.clear();
    return plan;
}

PlanCheck CheckPlan(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier& identify)
{
    PlanCheck check;
    PlanReader reader(text, source, style, &identify);
    for (PlanRow row; reader.Next(row);) {
        ++check.rows;
        check.tlsRows += row.address.tls ? 1 : 0;
        if (check.firstPlainServer.empty() && IsNetworkAddress(row.address) && !row.address.tls)
            check.firstPlainServer = row.port;
    }
    check.ok = reader.Finish();
    check.otherColumns = reader.OtherColumns();
    check.error = reader.Error();
    check.missingPort = reader.MissingPort().port;
    check.missingAddress = reader.MissingPort().address;
    return check;
}

class PlanCursor::Reader : public PlanReader {
public:
    using PlanReader::PlanReader;
};

PlanCursor::PlanCursor(const std::string& text, PortStyle style)
    : m_reader(std::make_unique<Reader>(text, std::string(), style, nullptr))
{}

PlanCursor::~PlanCursor() = default;

bool PlanCursor::Next(PlanRow& row)
{
    return m_reader->Next(row);
}

std::vector<std::string> PortIdentities(const PortAddress& address, const PortIdentifier& identify)
{
    if (address.kind == AddressKind::Serial)
        return {identify(address.target)};
    return EndpointsOf(address);
}

std::string DeviceKey(const PortAddress& address, const std::string& bluetooth, const PortIdentifier& identify)
{
    if (!bluetooth.empty())
        return "bluetooth " + bluetooth;
    std::vector<std::string> names = PortIdentities(address, identify);
    if (address.kind == AddressKind::Serial) {
        static const std::string DevicePrefix = "\\\\.\\";
        std::string name = names.front().empty() ? address.target : names.front();
        if (name.compare(0, DevicePrefix.size(), DevicePrefix) == 0)
            name.erase(0, DevicePrefix.size());
        return name;
    }
    // The lookup's order may change from one run to the next.
    std::sort(names.begin(), names.end());
    return JoinWords(names);
}

bool PlanLookups::LookUp(const std::string& text, const std::string& source, PortStyle style,
                         const PortIdentifier& identify, Deadline deadline, std::string& error)
{
    std::vector<PlanRow> rows;  // the network rows only: a plan's local ports need no lookup
    PlanCursor cursor(text, style);
    for (PlanRow row; cursor.Next(row);) {
        if (IsNetworkAddress(row.address))
            rows.push_back(row);
    }
    std::vector<PortAddress*> addresses;
    for (PlanRow& row : rows)
        addresses.push_back(&row.address);
    LookUpAddresses(addresses, deadline);
    std::map<std::string, const PlanRow*> rowOf;
    for (const PlanRow& row : rows) {
        for (const std::string& identity : PortIdentities(row.address, identify)) {
            const auto found = rowOf.emplace(identity, &row);
            if (found.second || found.first->second == &row)
                continue;
            const PlanRow& first = *found.first->second;
            error = source + ", line " + std::to_string(row.line) + ": the port \"" + EscapeForText(row.port) +
                    "\" reaches the same port as \"" + EscapeForText(first.port) + "\" on line " +
                    std::to_string(first.line) + ".";
            return false;
        }
        m_byLabel[row.address.label] = row.address;
    }
    return true;
}

void PlanLookups::Apply(PortAddress& address) const
{
    const auto found = m_byLabel.find(address.label);
    if (found != m_byLabel.end())
        address = found->second;
}

bool ReadPlanText(const std::string& name, std::istream& in, std::string& text, std::string& error)
{
    text.clear();
    if (name == "-") {
        char buffer[4096];
        while (text.size() <= MaxPlanBytes && in.read(buffer, sizeof buffer).gcount() > 0)
            text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (in.bad()) {
            error = "Cannot read the plan from standard input.";
            return false;
        }
    } else {
        std::string reason;
        if (!ReadRegularFile(name, MaxPlanBytes, text, reason)) {
            error = "Cannot read the plan " + EscapeForText(name) + ": " + reason + ".";
            return false;
        }
    }
    if (text.size() > MaxPlanBytes) {
        error = "The plan " + (name == "-" ? std::string("on standard input") : EscapeForText(name)) +
                " is longer than " + std::to_string(MaxPlanBytes) + " bytes.";
        return false;
    }
    return true;
}
