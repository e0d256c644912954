// Builds bitmap files byte by byte for the reader's tests: every header
// form, depth and colour-mask layout, with the pixel values given raw.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct BmpShape {
    uint32_t headerSize = 40;  // 12 core, 40 information; others are written as a 40-byte header padded out
    int32_t width = 1;
    int32_t height = 1;        // negative: top-down
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    bool fileHeader = true;
    std::vector<std::array<uint8_t, 3>> palette;  // red, green, blue; written as the colour table
    std::array<uint32_t, 3> masks = {0, 0, 0};    // written behind the header when compression is 3
    // Raw value of the pixel at (x, fileRow): a colour index, or the packed
    // 16/24/32-bit value. Rows are in file order.
    std::function<uint32_t(int x, int fileRow)> pixel = [](int, int) { return 0u; };
};

inline void PutU16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline size_t BmpStride(int32_t width, uint16_t bpp) { return (static_cast<size_t>(width) * bpp + 31) / 32 * 4; }

inline std::vector<uint8_t> BuildBmp(const BmpShape& s) {
    const bool core = s.headerSize == 12;
    const size_t fileHeader = s.fileHeader ? 14 : 0;
    const size_t entry = core ? 3 : 4;
    const size_t masks = (!core && s.compression == 3) ? 12 : 0;
    const size_t table = s.palette.size() * entry;
    const size_t rows = static_cast<size_t>(s.height < 0 ? -static_cast<int64_t>(s.height) : s.height);
    const size_t stride = BmpStride(s.width, s.bitsPerPixel);
    // Header sizes other than 12 and 40 still get the 40 bytes of fields written.
    const size_t headerBytes = core ? 12 : std::max<size_t>(s.headerSize, 40);
    const size_t pixelPos = fileHeader + headerBytes + masks + table;
    std::vector<uint8_t> b(pixelPos + stride * rows, 0);

    if (s.fileHeader) {
        b[0] = 'B';
        b[1] = 'M';
        PutU32(b, 2, static_cast<uint32_t>(b.size()));
        PutU32(b, 10, static_cast<uint32_t>(pixelPos));
    }
    const size_t h = fileHeader;
    PutU32(b, h, s.headerSize);
    if (core) {
        PutU16(b, h + 4, static_cast<uint32_t>(s.width));
        PutU16(b, h + 6, static_cast<uint32_t>(s.height));
        PutU16(b, h + 8, 1);
        PutU16(b, h + 10, s.bitsPerPixel);
    } else {
        PutU32(b, h + 4, static_cast<uint32_t>(s.width));
        PutU32(b, h + 8, static_cast<uint32_t>(s.height));
        PutU16(b, h + 12, 1);
        PutU16(b, h + 14, s.bitsPerPixel);
        PutU32(b, h + 16, s.compression);
        PutU32(b, h + 20, static_cast<uint32_t>(stride * rows));
        PutU32(b, h + 24, 2835);
        PutU32(b, h + 28, 2835);
        PutU32(b, h + 32, s.colorsUsed);
        PutU32(b, h + 36, s.colorsUsed);
    }
    size_t at = h + headerBytes;
    if (masks) {
        for (int i = 0; i < 3; ++i) PutU32(b, at + 4 * i, s.masks[i]);
        at += masks;
    }
    for (const auto& c : s.palette) {
        b[at] = c[2];
        b[at + 1] = c[1];
        b[at + 2] = c[0];
        at += entry;
    }
    for (size_t y = 0; y < rows; ++y) {
        uint8_t* row = b.data() + pixelPos + y * stride;
        for (int x = 0; x < s.width; ++x) {
            const uint32_t v = s.pixel(x, static_cast<int>(y));
            switch (s.bitsPerPixel) {
                case 1:
                case 4:
                case 8: {
                    const size_t bit = static_cast<size_t>(x) * s.bitsPerPixel;
                    const int shift = 8 - s.bitsPerPixel - static_cast<int>(bit & 7);
                    row[bit >> 3] |= static_cast<uint8_t>((v & ((1u << s.bitsPerPixel) - 1)) << shift);
                    break;
                }
                case 16:
                    row[2 * x] = static_cast<uint8_t>(v);
                    row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                case 24:
                    for (int i = 0; i < 3; ++i) row[3 * x + i] = static_cast<uint8_t>(v >> (8 * i));
                    break;
                default:
                    for (int i = 0; i < 4; ++i) row[4 * x + i] = static_cast<uint8_t>(v >> (8 * i));
                    break;
            }
        }
    }
    return b;
}
