#include "MessageLines.h"

MessageLines::MessageLines(std::streambuf* target, std::string programPrefix)
    : m_target(target), m_prefix(std::move(programPrefix))
{}

MessageLines::~MessageLines()
{
    if (!m_line.empty())
        WriteLine();
}

MessageLines::int_type MessageLines::overflow(int_type character)
{
    if (traits_type::eq_int_type(character, traits_type::eof()))
        return traits_type::not_eof(character);
    m_line += traits_type::to_char_type(character);
    if (m_line.back() == '\n')
        WriteLine();
    return character;
}

void MessageLines::WriteLine()
{
    if (m_line.compare(0, sizeof HintPrefix - 1, HintPrefix) != 0)
        m_target->sputn(m_prefix.data(), static_cast<std::streamsize>(m_prefix.size()));
    m_target->sputn(m_line.data(), static_cast<std::streamsize>(m_line.size()));
    m_target->pubsync();
    m_line.clear();
}
