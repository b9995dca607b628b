#include "IcoFile.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int BitsPerPixel = 4;
constexpr int ColourCount = 16;
constexpr std::uint32_t IconDirectorySize = 6;
constexpr std::uint32_t IconDirectoryEntrySize = 16;
constexpr std::uint32_t BitmapInfoHeaderSize = 40;
constexpr std::uint16_t IconResourceType = 1;

// Bitmap rows are padded to whole 32-bit words.
std::uint32_t RowBytes(int width, int bitsPerPixel)
{
    return static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

std::uint32_t ImageBytes(const IconImage& image)
{
    const auto rows = static_cast<std::uint32_t>(image.size);
    return BitmapInfoHeaderSize + ColourCount * 4 + rows * RowBytes(image.size, BitsPerPixel) +
           rows * RowBytes(image.size, 1);
}

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::vector<unsigned char>& out) : out_(out) {}
    void U8(unsigned value) { out_.push_back(static_cast<unsigned char>(value & 0xFF)); }
    void U16(unsigned value)
    {
        U8(value);
        U8(value >> 8);
    }
    void U32(std::uint32_t value)
    {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }

private:
    std::vector<unsigned char>& out_;
};

void WriteDirectory(LittleEndianWriter& w, const IconSource& source)
{
    w.U16(0);
    w.U16(IconResourceType);
    w.U16(static_cast<unsigned>(source.images.size()));
    std::uint32_t offset =
        IconDirectorySize + IconDirectoryEntrySize * static_cast<std::uint32_t>(source.images.size());
    for (const IconImage& image : source.images) {
        w.U8(image.size == 256 ? 0 : image.size);  // 0 stands for 256
        w.U8(image.size == 256 ? 0 : image.size);
        w.U8(ColourCount);
        w.U8(0);
        w.U16(1);  // planes
        w.U16(BitsPerPixel);
        w.U32(ImageBytes(image));
        w.U32(offset);
        offset += ImageBytes(image);
    }
}

// Rows go bottom-up, as in every device-independent bitmap. Transparent
// pixels are black in the colour rows and set in the mask, so the screen
// shows through them.
void WriteImage(LittleEndianWriter& w, const IconSource& source, const IconImage& image)
{
    const int n = image.size;
    const std::uint32_t colourRow = RowBytes(n, BitsPerPixel);
    const std::uint32_t maskRow = RowBytes(n, 1);
    w.U32(BitmapInfoHeaderSize);
    w.U32(static_cast<std::uint32_t>(n));
    w.U32(static_cast<std::uint32_t>(2 * n));  // colour rows and mask rows
    w.U16(1);
    w.U16(BitsPerPixel);
    w.U32(0);  // no compression
    w.U32(static_cast<std::uint32_t>(n) * (colourRow + maskRow));
    w.U32(0);
    w.U32(0);
    w.U32(0);  // all 16 colours used
    w.U32(0);
    for (std::uint32_t rgb : source.palette) {
        w.U8(rgb);
        w.U8(rgb >> 8);
        w.U8(rgb >> 16);
        w.U8(0);
    }
    auto pixel = [&](int x, int y) { return image.pixels[static_cast<std::size_t>(y * n + x)]; };
    for (int y = n - 1; y >= 0; --y) {
        std::vector<unsigned> row(colourRow, 0);
        for (int x = 0; x < n; ++x) {
            const int index = pixel(x, y) == IconImage::Transparent ? 0 : pixel(x, y);
            row[static_cast<std::size_t>(x / 2)] |= static_cast<unsigned>(index) << (x % 2 ? 0 : 4);
        }
        for (unsigned byte : row)
            w.U8(byte);
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<unsigned> row(maskRow, 0);
        for (int x = 0; x < n; ++x) {
            if (pixel(x, y) == IconImage::Transparent)
                row[static_cast<std::size_t>(x / 8)] |= 0x80u >> (x % 8);
        }
        for (unsigned byte : row)
            w.U8(byte);
    }
}

}  // namespace

std::vector<unsigned char> EncodeIcoFile(const IconSource& source)
{
    std::vector<unsigned char> bytes;
    LittleEndianWriter w(bytes);
    WriteDirectory(w, source);
    for (const IconImage& image : source.images)
        WriteImage(w, source, image);
    return bytes;
}
