// Where the renderer's windows go and what each one shows: one window per
// monitor, each in front of its own part of the screen copy. Portable: no
// Windows header and no GL, so the layouts are tested natively.
#pragma once

#include <string>
#include <vector>

#include "DIB.h"

// A rectangle in pixels: left and top included, right and bottom not.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const PixelRect& o) const { return !(*this == o); }
};

// Where two rectangles overlap; an empty rectangle where they do not.
PixelRect Intersect(const PixelRect& a, const PixelRect& b);

// A monitor on the virtual screen, where the primary's top-left corner is
// (0, 0): one left of or above the primary has negative coordinates.
struct Monitor {
    std::string device;  // the system's name for it ("\\.\DISPLAY1"), the same before and after a mode switch
    PixelRect rect;
    bool primary = false;
    bool operator==(const Monitor& o) const { return device == o.device && rect == o.rect && primary == o.primary; }
};

// Whether the monitors now differ from those the windows were placed on
// (one added or gone, moved, resized, another made primary), in whatever
// order the system lists them.
bool LayoutChanged(std::vector<Monitor> placedOn, std::vector<Monitor> now);

// The mode the saver was designed for; the primary display switches to it
// unless the user keeps the display's own resolution.
constexpr int kDesignedWidth = 1024;
constexpr int kDesignedHeight = 768;
constexpr int kDesignedBits = 32;

// One renderer window.
struct WindowPlan {
    std::string device;
    PixelRect window;    // where it goes, as the monitors lie now
    PixelRect picture;   // its part of the screen copy (top-left origin)
    // The primary switched to 1024 x 768 shows the look it was designed with:
    // the fixed aspect 1.33 and its part of the copy fitted to the window.
    // Every other window is drawn for its screen: the screen's own aspect and
    // the copy pixel for pixel at its place (exactBackdrop).
    bool designed = false;
    double aspect = 0.0;
    bool exactBackdrop = false;
};

// The smallest rectangle holding every monitor: the screen the saver copies.
PixelRect VirtualScreen(const std::vector<Monitor>& monitors);

// One window per monitor now (primary first). `before`: the monitors when
// the screen was copied; `after`: as they lie now (the primary switched or
// not); copyWidth x copyHeight: the copy's size. Each window shows the part
// of the copy its monitor had before. A copy that is not the virtual screen
// of `before` (a picture from elsewhere) is shown whole, fitted to each window.
std::vector<WindowPlan> PlanWindows(const std::vector<Monitor>& before, const std::vector<Monitor>& after,
                                    int copyWidth, int copyHeight, bool primarySwitched);

// A picture shown pixel for pixel is held in textures of powers of two (what
// OpenGL 1.1 takes), each no larger than the implementation allows: the
// picture cut into tiles, the last of each row and column padded up to its
// texture's size, so that the textures hold less than 1.5 times its pixels.
struct TextureTile {
    PixelRect part;       // of the picture (top-left origin); drawn at the same place in the window
    int textureWidth = 0;  // powers of two, at least the part's size
    int textureHeight = 0;
};
std::vector<TextureTile> PlanTiles(int width, int height, int maxTextureSize);

int NextPowerOfTwo(int n);

// The part of a picture (top-left origin) as a picture of its own, bottom
// row first like every RGBImage; padded to width x height (when larger) by
// repeating its last column and its top row, so that nothing dark bleeds in
// at its edges.
RGBImage CopyPart(const RGBImage& picture, const PixelRect& part, int width = 0, int height = 0);
