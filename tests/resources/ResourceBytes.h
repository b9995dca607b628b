// Bounded reading of the binary resource formats (dialog templates, the
// version block), so the tests can compare what the build put into the
// module byte for byte with what the program expects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The raw bytes of resource (type, id) in this test program's own module;
// empty when there is no such resource.
Bytes ModuleResource(const char* type, int id);

// A name-or-ordinal field: ordinal != 0, or text.
struct NameOrOrdinal {
    std::uint16_t ordinal = 0;
    std::string text;
};

// Reads little-endian fields and refuses to step past the end: every read
// after an overrun yields zero and ok() stays false.
class ByteCursor {
public:
    explicit ByteCursor(const Bytes& bytes, std::size_t begin = 0, std::size_t end = SIZE_MAX);
    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    std::string WideText();  // up to and over the NUL; non-ASCII as '?'
    NameOrOrdinal NameOrOrd();
    void AlignToDword();  // relative to the start of the resource
    std::size_t Position() const { return m_pos; }
    bool AtEnd() const { return m_pos >= m_end; }
    bool ok() const { return m_ok; }

private:
    const Bytes& m_bytes;
    std::size_t m_pos;
    std::size_t m_end;
    bool m_ok = true;
};
