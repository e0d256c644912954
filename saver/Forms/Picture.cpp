#include "Picture.h"

#include "BmpFile.h"
#include "FileReplace.h"

namespace forms {

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const win::Brush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

Picture::Picture(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) return;
    bits_ = static_cast<uint32_t*>(bits);
    dc_.Reset(CreateCompatibleDC(nullptr));
    if (!dc_) return;
    selected_.emplace(dc_.get(), bitmap_.get());
}

std::shared_ptr<Picture> Picture::FromBitmap(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || !GetObjectW(bitmap, sizeof info, &info)) return nullptr;
    auto picture = std::make_shared<Picture>(info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
    if (!picture->Valid()) return nullptr;
    const win::MemoryDC source(CreateCompatibleDC(nullptr));
    {
        const win::Selection selected(source.get(), bitmap);
        BitBlt(picture->DC(), 0, 0, picture->Width(), picture->Height(), source.get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    return picture;
}

std::shared_ptr<Picture> Picture::FromResource(int resourceId) {
    const win::Bitmap bitmap(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return FromBitmap(bitmap.get());
}

std::shared_ptr<Picture> Picture::FromPixels(int width, int height, const std::vector<uint8_t>& rgb) {
    auto picture = std::make_shared<Picture>(width, height);
    if (!picture->Valid() || rgb.size() < size_t(width) * height * 3) return nullptr;
    for (size_t i = 0; i < size_t(width) * height; ++i) {
        picture->bits_[i] = (uint32_t(rgb[3 * i]) << 16) | (uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
    }
    return picture;
}

std::vector<uint8_t> Picture::Pixels() const {
    std::vector<uint8_t> rgb;
    if (!Valid()) return rgb;
    GdiFlush();
    rgb.resize(static_cast<size_t>(width_) * height_ * 3);
    for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i) {
        const uint32_t p = bits_[i];
        rgb[3 * i] = static_cast<uint8_t>(p >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(p >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(p);
    }
    return rgb;
}

bool Picture::Save(const std::string& path) const {
    if (!Valid()) return false;
    const std::string file = EncodeBmp24(width_, height_, Pixels());
    return !file.empty() && ReplaceFileContents(path, file);
}

}  // namespace forms
