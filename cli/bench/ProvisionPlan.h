// cli/bench/: the provisioning bench (plan, random PINs, report, record). May
// include cli/steps/ and below.
//
// A plan for provision: which device gets which settings, one port a row.
//
//   port,auth,pin
//   COM5,on,5678
//   COM7,off,
//
// auth is on or off (1 or 0, in any case); an empty pin keeps the device's
// PIN, and random or random:N draws a new one for the row (RandomPin.h).
// Plans are saved from spreadsheets: the header names the columns in any
// order and case, with the separator the spreadsheet used (, ; or a tab);
// blanks around a field are dropped; fields may be quoted as CSV has them
// ("0123", "" for one quote); a quote left open is a bad row. Other columns
// (a serial number, a label) are carried, under their header names, into
// the report and the record. The whole plan is read and checked before any
// port is opened, and a bad row refuses all of it, each bad row told with
// its line: a batch is set up completely or not touched.
#pragma once

#include "Deadline.h"
#include "ports/PortName.h"

#include <functional>
#include <map>
#include <istream>
#include <memory>
#include <string>
#include <vector>

inline constexpr char PlanHeader[] = "port,auth,pin";
// Bounds on what is read: a plan is a list typed or made by a script, at
// most a large plant's day of devices.
inline constexpr std::size_t MaxPlanLineLength = 1024;
inline constexpr std::size_t MaxPlanRows = 100000;
inline constexpr std::size_t MaxPlanBytes = MaxPlanRows * 64 + MaxPlanLineLength;
// At most this many bad lines are told, then their count, as a compiler
// stops listing.
inline constexpr std::size_t MaxToldBadPlanLines = 20;

struct PlanRow {
    int line = 0;         // in the file, from 1 (the header's line)
    std::string port;     // as the plan names it
    PortAddress address;  // the port's kind and what SerialPort::Open is given
    int auth = 0;         // 1 on, 0 off
    bool hasPin = false;
    std::string pin;       // the new PIN when hasPin
    int randomDigits = 0;  // instead, a PIN of this many digits drawn for the row; 0 for none
    // The plan's other columns: each one's header name and this row's field.
    std::vector<std::pair<std::string, std::string>> columns;
};

struct Plan {
    bool ok = false;
    std::vector<PlanRow> rows;
    std::vector<std::string> otherColumns;  // the header's other names
    std::string error;                      // "plan.csv, line 3: ...", a line each bad line, when !ok
};

// The one name a port goes by, so that two names of one port count as one,
// or empty when there is no such port (see PortIdentity in PortDetails.h).
using PortIdentifier = std::function<std::string(const std::string& path)>;

// Checks the text of a plan. `source` names it in messages. A UTF-8
// byte-order mark and CRLF line ends are taken; blank lines are skipped.
Plan ParsePlan(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier& identify);

// The same checks as ParsePlan, keeping only the count of rows: a plan of
// any length is checked whole without holding its rows.
struct PlanCheck {
    bool ok = false;
    std::size_t rows = 0;
    std::size_t tlsRows = 0;       // rows with a socket+tls:// or rfc2217+tls:// port
    std::string firstPlainServer;  // the first row's port that is socket:// or rfc2217://, as the plan names it
    std::vector<std::string> otherColumns;  // the header's other names
    std::string error;                      // as Plan's, when !ok
    // The port that does not exist, as the plan names it, when that is the
    // error (the command then tells what query PORT would), else empty.
    std::string missingPort;
    PortAddress missingAddress;
};
PlanCheck CheckPlan(const std::string& text, const std::string& source, PortStyle style,
                    const PortIdentifier& identify);

// Every name the port of `address` goes by: a local port's identity from
// `identify` (empty: no such port), a network address's endpoints once it
// was looked up (AddressLookup.h), else its label, which is one text for
// one server port however it is spelt. Two ports that share one are one.
std::vector<std::string> PortIdentities(const PortAddress& address, const PortIdentifier& identify);

// The device a row works, as the record names it for --resume: its
// Bluetooth address when one is known (`bluetooth`), else a network
// address's looked-up endpoints, else the local port as the system resolves
// it (the path with its links followed; a COM name without \\.\\).
std::string DeviceKey(const PortAddress& address, const std::string& bluetooth, const PortIdentifier& identify);

// The network addresses of a plan that CheckPlan passed, looked up once, by
// the set-up deadline, before any port is opened: two rows that reach one
// server port however they are spelt (rfc2217://127.0.0.1:2217 and
// rfc2217://localhost:2217) are refused, naming both lines. Each row's
// address then gets its lookup as the row is worked, and its port looks
// nothing up again.
class PlanLookups {
public:
    bool LookUp(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier& identify,
                Deadline deadline, std::string& error);
    void Apply(PortAddress& address) const;

private:
    std::map<std::string, PortAddress> m_byLabel;
};

// The rows of a plan that CheckPlan passed, one at a time in the plan's
// order, read again from its text as they are needed.
class PlanCursor {
public:
    // `text` must outlive the cursor.
    PlanCursor(const std::string& text, PortStyle style);
    ~PlanCursor();
    PlanCursor(const PlanCursor&) = delete;
    PlanCursor& operator=(const PlanCursor&) = delete;

    // The next row, or false after the last.
    bool Next(PlanRow& row);

private:
    class Reader;
    std::unique_ptr<Reader> m_reader;
};

// Reads the plan file `name`, or `in` when the name is "-", into `text`, at
// most MaxPlanBytes. False with a message when it cannot be read or is no
// regular file (RegularFile.h): standard input is the one wait a user asks for.
bool ReadPlanText(const std::string& name, std::istream& in, std::string& text, std::string& error);
