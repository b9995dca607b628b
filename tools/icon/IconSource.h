// The icon's source: a sixteen-colour palette and square pixel maps, kept as
// readable text so the icon can be changed with a text editor.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct IconImage {
    static constexpr int Transparent = -1;
    int size = 0;             // width and height in pixels
    std::vector<int> pixels;  // size * size palette indexes, top row first
};

struct IconSource {
    std::array<std::uint32_t, 16> palette{};  // 0xRRGGBB
    std::vector<IconImage> images;            // in the order written
};

// Reads the text form:
//   '#' comment lines and blank lines anywhere;
//   "palette", then 16 lines "I RRGGBB [name]" with I = 0..F in order;
//   "image N" (N = 1..256), then N rows of N characters, each a palette
//   index 0-9/A-F or '.' for a transparent pixel.
// Returns false with a message naming the line on the first mistake.
bool ReadIconSource(std::istream& text, IconSource& source, std::string& error);
