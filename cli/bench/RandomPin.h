// PINs drawn at random, one for each device: "random" (6 digits) or
// "random:N" (N digits, 4 to 12) in place of a PIN, in a plan's pin field
// or after configure --pin.
//
// Each digit is uniform: a byte from the system's generator (SystemRandom.h)
// is taken only below 250, the largest multiple of ten it can hold, and
// drawn again otherwise, so no digit is likelier than another. The PINs of
// one run are all different, and each differs from the PIN its device
// reported: a device never leaves the bench with its old PIN or a
// neighbour's.
#pragma once

#include "output/LinkOutcome.h"
#include "system/SystemRandom.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>

inline constexpr int DefaultRandomPinDigits = 6;
inline constexpr int MinRandomPinDigits = 4;
inline constexpr int MaxRandomPinDigits = 12;

// The word before ":N", as plans and --pin take it.
inline constexpr char RandomPinWord[] = "random";

enum class RandomPinText {
    NotRandom,  // any other PIN: the text is the PIN
    Random,     // `digits` is set
    Bad,        // "random:" with no number from 4 to 12 after it
};

RandomPinText ParseRandomPin(const std::string& text, int& digits);

// "random:N", as a record and --check show a PIN still to be drawn.
std::string RandomPinRequest(int digits);

// The PIN asked for, as a record and --check show it: "random:N" for one to
// draw (`randomDigits` above 0), else `pin` when `hasPin`, else "" (keep the
// device's).
std::string PinAsked(int randomDigits, bool hasPin, const std::string& pin);

// What a bad "random:N" is told: "a random PIN has 4 to 12 digits: ...".
std::string BadRandomPinMessage(const std::string& text);

// How many distinct PINs of `digits` digits one run may draw: half of all
// there are, so that a draw seldom has to be repeated for a PIN already
// given, and never for ever.
std::uint64_t MaxRandomPinsPerRun(int digits);

// The PINs of one run. Safe to use from many threads at once.
class PinDrawer {
public:
    explicit PinDrawer(RandomSource source);

    // A new PIN of `digits` digits, different from `devicePin` and from every
    // PIN drawn before by this drawer. A failure of the generator is an
    // Outcome with ExitCode::Failure and the system's reason: nothing of the
    // row may be written then.
    Outcome Draw(int digits, const std::string& devicePin, std::string& pin);

    // A PIN given before, by another run: a PIN drawn later differs from it.
    // Anything but 4 to 12 digits could not be drawn, and is passed over.
    void Reserve(const std::string& pin);

private:
    bool NextDigit(char& digit, std::string& reason);  // with m_mutex held

    RandomSource m_source;
    std::mutex m_mutex;
    unsigned char m_bytes[64] = {};
    std::size_t m_used = sizeof m_bytes;
    // Each PIN as its digits' number plus 10^digits, so that 0123 and 123
    // stay apart: eight bytes a PIN whatever its length.
    std::unordered_set<std::uint64_t> m_drawn;
};
