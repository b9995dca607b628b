// Standard error as GNU programs write it: each message line starts with the
// program's name ("tolvane-cli: Cannot open the COM port."), so that a
// script's log tells whose message it is. A line that says what the user can
// do next starts with HintPrefix instead, and passes as it is.
#pragma once

#include <streambuf>
#include <string>

inline constexpr char HintPrefix[] = "hint: ";

class MessageLines : public std::streambuf {
public:
    // Writes to `target`, which must outlive this.
    MessageLines(std::streambuf* target, std::string programPrefix);
    ~MessageLines() override;  // writes a last line that has no line end

    MessageLines(const MessageLines&) = delete;
    MessageLines& operator=(const MessageLines&) = delete;

protected:
    int_type overflow(int_type character) override;

private:
    // A line is held until its end: only then is it known whether it is a hint.
    void WriteLine();

    std::streambuf* m_target;
    std::string m_prefix;
    std::string m_line;
};
