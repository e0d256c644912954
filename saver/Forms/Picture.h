// Pictures of our forms layer: 32-bit top-down DIB sections that controls
// hold and draw, saved as bitmap files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "WinHandles.h"

namespace forms {

// Fills a rectangle with one colour.
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// A picture held by a control: a 32-bit top-down DIB section.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height);
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    static std::shared_ptr<Picture> FromResource(int resourceId);
    static std::shared_ptr<Picture> FromBitmap(HBITMAP bitmap);  // takes a copy
    // From RGB bytes, top row first.
    static std::shared_ptr<Picture> FromPixels(int width, int height, const std::vector<uint8_t>& rgb);

    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC DC() const { return dc_.get(); }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    bool Valid() const { return DC() != nullptr; }
    // The picture as a 24-bit BMP file; false when it cannot be written.
    bool Save(const std::string& path) const;
    // RGB bytes, top row first.
    std::vector<uint8_t> Pixels() const;

private:
    int width_ = 0, height_ = 0;
    // Released in the reverse order: the bitmap is selected out of its
    // context, the context deleted, then the bitmap.
    win::Bitmap bitmap_;
    win::MemoryDC dc_;
    std::optional<win::Selection> selected_;
    uint32_t* bits_ = nullptr;
};

}  // namespace forms
