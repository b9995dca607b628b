#include "DialogTemplate.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// The fixed head of both template forms, up to and including x and y:
//   classic:  DWORD style, DWORD exStyle, WORD count, short x, short y
//   extended: WORD version, WORD 0xFFFF, DWORD helpId, DWORD exStyle,
//             DWORD style, WORD count, short x, short y
constexpr std::size_t ClassicStyleOffset = 0;
constexpr std::size_t ClassicXOffset = 10;
constexpr std::size_t ExtendedStyleOffset = 12;
constexpr std::size_t ExtendedXOffset = 18;
constexpr std::uint16_t ExtendedVersion = 1;
constexpr std::uint16_t ExtendedSignature = 0xFFFF;

struct Placement {
    std::uint32_t style = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
};

// Reads a field at `offset` of a resource of `size` bytes, which may be
// too short: a template is the program's own, but still read within bounds.
template <class T>
bool ReadField(const unsigned char* bytes, std::size_t size, std::size_t offset, T& value)
{
    if (size < offset + sizeof value)
        return false;
    std::memcpy(&value, bytes + offset, sizeof value);
    return true;
}

bool ReadPlacement(const unsigned char* bytes, std::size_t size, Placement& placement)
{
    // The dialog manager's own test for the extended form.
    std::uint16_t version = 0;
    std::uint16_t signature = 0;
    if (!ReadField(bytes, size, 0, version) || !ReadField(bytes, size, sizeof version, signature))
        return false;
    const bool extended = version == ExtendedVersion && signature == ExtendedSignature;
    const std::size_t styleOffset = extended ? ExtendedStyleOffset : ClassicStyleOffset;
    const std::size_t xOffset = extended ? ExtendedXOffset : ClassicXOffset;
    return ReadField(bytes, size, styleOffset, placement.style) && ReadField(bytes, size, xOffset, placement.x) &&
           ReadField(bytes, size, xOffset + sizeof placement.x, placement.y);
}

}  // namespace

bool TemplateLeavesPlacementToFramework(HINSTANCE module, UINT templateId)
{
    const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    if (resource == nullptr)
        return false;
    const HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return false;
    Placement placement;
    if (!ReadPlacement(static_cast<const unsigned char*>(bytes), ::SizeofResource(module, resource), placement))
        return false;
    return placement.x == 0 && placement.y == 0 && (placement.style & DS_CENTER) == 0;
}
