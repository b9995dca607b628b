#include "ResourceBytes.h"

#include <windows.h>

#include <algorithm>

Bytes ModuleResource(const char* type, int id)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
    const DWORD size = SizeofResource(module, found);
    return data ? Bytes(data, data + size) : Bytes{};
}

ByteCursor::ByteCursor(const Bytes& bytes, std::size_t begin, std::size_t end)
    : m_bytes(bytes), m_pos(begin), m_end(std::min(end, bytes.size()))
{
    m_ok = begin <= m_end;
}

std::uint8_t ByteCursor::U8()
{
    if (!m_ok || m_pos >= m_end) {
        m_ok = false;
        return 0;
    }
    return m_bytes[m_pos++];
}

std::uint16_t ByteCursor::U16()
{
    const std::uint16_t low = U8();
    return static_cast<std::uint16_t>(low | U8() << 8);
}

std::uint32_t ByteCursor::U32()
{
    const std::uint32_t low = U16();
    return low | static_cast<std::uint32_t>(U16()) << 16;
}

std::string ByteCursor::WideText()
{
    std::string text;
    for (std::uint16_t unit = U16(); m_ok && unit != 0; unit = U16()) {
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return text;
}

NameOrOrdinal ByteCursor::NameOrOrd()
{
    NameOrOrdinal field;
    const std::size_t start = m_pos;
    const std::uint16_t first = U16();
    if (first == 0xFFFF) {
        field.ordinal = U16();
    } else if (first != 0) {
        m_pos = start;
        field.text = WideText();
    }
    return field;
}

// Padding at the very end of a block may be left out.
void ByteCursor::AlignToDword()
{
    m_pos = std::min((m_pos + 3) / 4 * 4, m_end);
}
