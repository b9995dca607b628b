#include "IconSource.h"

#include <sstream>

namespace {

constexpr int PaletteSize = 16;
constexpr int MaxImageSize = 256;  // the largest an icon directory can name

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool IsSkipped(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
}

// Reads the palette line "I RRGGBB [name]" for the expected index.
bool ReadPaletteEntry(const std::string& line, int index, std::uint32_t& rgb)
{
    std::istringstream fields(line);
    std::string indexField, rgbField;
    if (!(fields >> indexField >> rgbField))
        return false;
    if (indexField.size() != 1 || HexDigitValue(indexField[0]) != index)
        return false;
    if (rgbField.size() != 6)
        return false;
    rgb = 0;
    for (char c : rgbField) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        rgb = rgb * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool ReadImageRow(const std::string& line, IconImage& image)
{
    std::string row = line;
    if (!row.empty() && row.back() == '\r')
        row.pop_back();
    if (row.size() != static_cast<std::size_t>(image.size))
        return false;
    for (char c : row) {
        const int index = c == '.' ? IconImage::Transparent : HexDigitValue(c);
        if (c != '.' && index < 0)
            return false;
        image.pixels.push_back(index);
    }
    return true;
}

// Parses "image N"; returns 0 when the line is not a valid image header.
int ImageHeaderSize(const std::string& line)
{
    std::istringstream fields(line);
    std::string keyword, extra;
    int size = 0;
    if (!(fields >> keyword >> size) || keyword != "image" || (fields >> extra))
        return 0;
    return size >= 1 && size <= MaxImageSize ? size : 0;
}

bool IsComplete(const IconImage& image)
{
    return image.pixels.size() == static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size);
}

}  // namespace

bool ReadIconSource(std::istream& text, IconSource& source, std::string& error)
{
    source = IconSource{};
    int paletteRead = -1;  // -1: no "palette" line yet
    std::string line;
    for (int lineNumber = 1; std::getline(text, line); ++lineNumber) {
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (!source.images.empty() && !IsComplete(source.images.back())) {
            IconImage& image = source.images.back();
            if (!ReadImageRow(line, image)) {
                error = where + "expected a row of " + std::to_string(image.size) + " pixels (0-9, A-F or '.')";
                return false;
            }
            continue;
        }
        if (IsSkipped(line))
            continue;
        if (paletteRead < 0) {
            if (line.rfind("palette", 0) != 0 || !IsSkipped(line.substr(7))) {
                error = where + "expected \"palette\"";
                return false;
            }
            paletteRead = 0;
        } else if (paletteRead < PaletteSize) {
            if (!ReadPaletteEntry(line, paletteRead, source.palette[paletteRead])) {
                error = where + "expected colour " + std::to_string(paletteRead) + " as \"I RRGGBB\"";
                return false;
            }
            ++paletteRead;
        } else {
            const int size = ImageHeaderSize(line);
            if (size == 0) {
                error = where + "expected \"image N\" with N from 1 to 256";
                return false;
            }
            source.images.push_back(IconImage{size, {}});
        }
    }
    if (paletteRead < PaletteSize) {
        error = "the palette needs 16 colours";
        return false;
    }
    if (source.images.empty()) {
        error = "no image";
        return false;
    }
    if (!IsComplete(source.images.back())) {
        error = "the last image is missing rows";
        return false;
    }
    return true;
}
