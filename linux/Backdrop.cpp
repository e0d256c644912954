#include "Backdrop.h"

#include <algorithm>

PixelRect ScreenshotPart(int pictureWidth, int pictureHeight, const PixelRect& windowOnScreen,
                         const PixelRect& screen) {
    const PixelRect whole{0, 0, pictureWidth, pictureHeight};
    if (pictureWidth == windowOnScreen.Width() && pictureHeight == windowOnScreen.Height()) return whole;
    if (pictureWidth != screen.Width() || pictureHeight != screen.Height()) return whole;
    const PixelRect place{windowOnScreen.left - screen.left, windowOnScreen.top - screen.top,
                          windowOnScreen.right - screen.left, windowOnScreen.bottom - screen.top};
    return Intersect(place, whole);
}

PixelRect CoverPart(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return PixelRect{};
    // Cross-multiplied in 64 bits: which side of the picture is cut.
    const long long wide = static_cast<long long>(pictureWidth) * windowHeight;
    const long long tall = static_cast<long long>(pictureHeight) * windowWidth;
    if (wide > tall) {  // wider than the window: its sides go
        const int width = static_cast<int>(tall / windowHeight);
        const int left = (pictureWidth - width) / 2;
        return PixelRect{left, 0, left + width, pictureHeight};
    }
    const int height = static_cast<int>(wide / windowWidth);
    const int top = (pictureHeight - height) / 2;
    return PixelRect{0, top, pictureWidth, top + height};
}

bool MostlyBlack(const RGBImage& picture) {
    const size_t pixels = picture.data.size() / 3;
    if (pixels == 0) return true;
    size_t dark = 0;
    const size_t step = std::max<size_t>(1, pixels / 4096);  // a sample is enough
    size_t seen = 0;
    for (size_t i = 0; i < pixels; i += step, ++seen) {
        const uint8_t* p = &picture.data[i * 3];
        dark += p[0] < 16 && p[1] < 16 && p[2] < 16;
    }
    return dark * 100 >= seen * 98;
}

RGBImage DuskGradient(int width, int height) {
    RGBImage image;
    if (width <= 0 || height <= 0) return image;
    image.width = width;
    image.height = height;
    image.data.resize(size_t(width) * height * 3);
    const uint8_t top[3] = {32, 64, 120}, bottom[3] = {230, 160, 110};  // the demo desktop's evening
    for (int row = 0; row < height; ++row) {  // row 0 is the bottom
        const double t = height > 1 ? double(height - 1 - row) / (height - 1) : 0.0;
        uint8_t colour[3];
        for (int c = 0; c < 3; ++c) colour[c] = uint8_t(top[c] + (bottom[c] - top[c]) * t * t + 0.5);
        for (int x = 0; x < width; ++x) std::copy(colour, colour + 3, &image.data[(size_t(row) * width + x) * 3]);
    }
    return image;
}
