#include "RadioMark.h"

#include <cmath>

std::vector<uint8_t> DrawRadioMark(int size, bool chosen) {
    std::vector<uint8_t> rgb;
    if (size <= 0) return rgb;
    rgb.reserve(size_t(size) * size * 3);
    const double scale = size / 12.0;  // the radii as designed at 12 pixels
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - centre, y - centre);
            uint8_t r = 0xFF, g = 0xFF, b = 0xFF;
            if (d > 5.8 * scale) {
                r = g = b = 0xE0;  // the panel
            } else if (d > 4.6 * scale) {
                const double t = 0.35 + 0.4 * (double(y) / size);  // the rim, darker above: sunken
                r = g = static_cast<uint8_t>(std::lround(0x80 * t + 0x1C * (1 - t)));
                b = static_cast<uint8_t>(std::lround(0x90 * t + 0x1C * (1 - t)));
            } else if (chosen && d < 2.6 * scale) {
                r = 0x10, g = 0x3C, b = 0x74;
            }
            rgb.insert(rgb.end(), {r, g, b});
        }
    }
    return rgb;
}
