// Finds the host's messages in the bytes the device receives.
//
// The device watches for the 13-byte access code anywhere in the stream. What
// follows decides what it was:
//   - a space within ConfigureWindow: a configure command
//     "CODE FLAG PIN " (single spaces, trailing space), both tokens kept as sent;
//   - anything else, or nothing within ConfigureWindow: a query. A byte that
//     ended the wait is scanned again, so back-to-back queries are all seen.
// A configure command whose bytes stop for BodyByteTimeout, or whose token
// grows past MaxTokenLength, is dropped.
// A scanner made for quick queries skips the wait: the access code is a query
// the moment its last byte is in, and configure commands are not recognised.
// Timing a query round trip needs that; the device's own pause would swamp it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct HostCommand {
    enum class Kind { Query, Configure } kind = Kind::Query;
    std::string flag;  // configure only
    std::string pin;   // configure only
    // When the scanner knew what it was: a reply is timed from here, not from
    // whenever the device gets round to it.
    std::chrono::steady_clock::time_point recognised{};
};

class CommandScanner {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::milliseconds ConfigureWindow{50};
    static constexpr std::chrono::milliseconds BodyByteTimeout{500};
    static constexpr std::size_t MaxTokenLength = 64;

    explicit CommandScanner(bool quickQueries = false) : m_quickQueries(quickQueries) {}

    void Feed(char byte, Clock::time_point now, std::vector<HostCommand>& found);

    // Call once Deadline() has passed.
    void Expire(std::vector<HostCommand>& found);

    // When the scanner next needs Expire, if it is waiting for anything.
    std::optional<Clock::time_point> Deadline() const;

private:
    enum class Stage { Scanning, AfterCode, Flag, Pin };

    void Restart();

    bool m_quickQueries;
    Stage m_stage = Stage::Scanning;
    std::string m_recent;  // the last bytes, at most one access code long
    std::string m_flag;
    std::string m_pin;
    Clock::time_point m_deadline{};
};
