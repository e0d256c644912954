#include "BmpFile.h"

#include <cstdint>

namespace {

void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0) return std::string();
    // The file's sizes are 32-bit fields, and the picture must fit in memory.
    const uint64_t stride64 = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
    const uint64_t pixelBytes64 = stride64 * static_cast<uint64_t>(height);
    if (pixelBytes64 > 0x7FFFFFFFu - 54 || pixelBytes64 > SIZE_MAX / 2) return std::string();
    if (rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) return std::string();
    const uint32_t stride = static_cast<uint32_t>(stride64);
    const uint32_t pixelBytes = static_cast<uint32_t>(pixelBytes64);
    std::string out;
    out.reserve(54 + pixelBytes);
    out += "BM";
    Put(out, 54 + pixelBytes, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, static_cast<uint32_t>(width), 4);
    Put(out, static_cast<uint32_t>(height), 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    Put(out, 0, 4);  // no compression
    Put(out, pixelBytes, 4);
    Put(out, 2835, 4);  // 72 dots per inch
    Put(out, 2835, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out += static_cast<char>(row[3 * x + 2]);
            out += static_cast<char>(row[3 * x + 1]);
            out += static_cast<char>(row[3 * x]);
        }
        out.append(stride - static_cast<uint32_t>(width) * 3, '\0');
    }
    return out;
}
