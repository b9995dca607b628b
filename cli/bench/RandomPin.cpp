#include "RandomPin.h"

#include "output/OutputFormat.h"

namespace {

// Bytes from 250 up would make the digits 0 to 5 likelier than 6 to 9.
constexpr unsigned FirstRejectedByte = 250;

// With at most half of all PINs taken, a thousand draws in a row that all
// hit a taken one do not happen; a run that got there has a broken generator.
constexpr int MaxDrawsPerPin = 1000;

std::uint64_t PowerOfTen(int exponent)
{
    std::uint64_t value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

}  // namespace

RandomPinText ParseRandomPin(const std::string& text, int& digits)
{
    const std::string word = RandomPinWord;
    if (text == word) {
        digits = DefaultRandomPinDigits;
        return RandomPinText::Random;
    }
    if (text.compare(0, word.size() + 1, word + ":") != 0)
        return RandomPinText::NotRandom;
    const std::string number = text.substr(word.size() + 1);
    if (number.empty() || number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos)
        return RandomPinText::Bad;
    const int value = std::stoi(number);
    if (value < MinRandomPinDigits || value > MaxRandomPinDigits)
        return RandomPinText::Bad;
    digits = value;
    return RandomPinText::Random;
}

std::string RandomPinRequest(int digits)
{
    return std::string(RandomPinWord) + ":" + std::to_string(digits);
}

std::string PinAsked(int randomDigits, bool hasPin, const std::string& pin)
{
    return randomDigits > 0 ? RandomPinRequest(randomDigits) : hasPin ? pin : "";
}

std::string BadRandomPinMessage(const std::string& text)
{
    return std::string("a random PIN is ") + RandomPinWord + " or " + RandomPinWord + ":N with N from " +
           std::to_string(MinRandomPinDigits) + " to " + std::to_string(MaxRandomPinDigits) + " digits, not \"" +
           EscapeForText(text) + "\".";
}

std::uint64_t MaxRandomPinsPerRun(int digits)
{
    return PowerOfTen(digits) / 2;
}

PinDrawer::PinDrawer(RandomSource source) : m_source(std::move(source)) {}

bool PinDrawer::NextDigit(char& digit, std::string& reason)
{
    for (;;) {
        if (m_used == sizeof m_bytes) {
            if (!m_source(m_bytes, sizeof m_bytes, reason))
                return false;
            m_used = 0;
        }
        const unsigned byte = m_bytes[m_used++];
        if (byte < FirstRejectedByte) {
            digit = static_cast<char>('0' + byte % 10);
            return true;
        }
    }
}

void PinDrawer::Reserve(const std::string& pin)
{
    const int digits = static_cast<int>(pin.size());
    if (digits < MinRandomPinDigits || digits > MaxRandomPinDigits ||
        pin.find_first_not_of("0123456789") != std::string::npos)
        return;
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_drawn.insert(PowerOfTen(digits) + std::stoull(pin));
}

Outcome PinDrawer::Draw(int digits, const std::string& devicePin, std::string& pin)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::string reason;
    for (int draw = 0; draw < MaxDrawsPerPin; ++draw) {
        pin.assign(static_cast<std::size_t>(digits), '0');
        for (char& digit : pin) {
            if (!NextDigit(digit, reason)) {
                pin.clear();
                return {ExitCode::Failure, "Cannot draw a random PIN: " + reason + "."};
            }
        }
        const std::uint64_t key = PowerOfTen(digits) + std::stoull(pin);
        if (pin != devicePin && m_drawn.insert(key).second)
            return {};
    }
    pin.clear();
    return {ExitCode::Failure, "Cannot draw a random PIN: every draw was a PIN already given."};
}
