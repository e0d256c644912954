#include "Backdrop.h"

#include <algorithm>

PixelRect PictureUnderWindow(int pictureWidth, int pictureHeight, const PixelRect& windowOnScreen) {
    return Intersect(windowOnScreen, PixelRect{0, 0, pictureWidth, pictureHeight});
}

BackdropSource ChooseBackdrop(const RGBImage* screenshot, const RGBImage* rootPicture) {
    if (screenshot != nullptr && !MostlyBlack(*screenshot)) return BackdropSource::Screenshot;
    if (rootPicture != nullptr && !MostlyBlack(*rootPicture)) return BackdropSource::RootPicture;
    return BackdropSource::Dusk;
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
