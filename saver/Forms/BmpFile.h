// Writing a picture as a Windows bitmap file the renderer's reader accepts:
// 24 bits per pixel, bottom-up, rows padded to four bytes, 40-byte header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb: width * height * 3 bytes, red, green, blue, top row first.
std::string EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgb);
