#include "ScreenLayout.h"

#include <algorithm>
#include <cstring>

#include "SceneView.h"

namespace {

const Monitor* Find(const std::vector<Monitor>& monitors, const std::string& device) {
    for (const Monitor& m : monitors) {
        if (m.device == device) return &m;
    }
    return nullptr;
}

}  // namespace

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return r.Empty() ? PixelRect{} : r;
}

PixelRect VirtualScreen(const std::vector<Monitor>& monitors) {
    if (monitors.empty()) return PixelRect{};
    PixelRect all = monitors.front().rect;
    for (const Monitor& m : monitors) {
        all.left = std::min(all.left, m.rect.left);
        all.top = std::min(all.top, m.rect.top);
        all.right = std::max(all.right, m.rect.right);
        all.bottom = std::max(all.bottom, m.rect.bottom);
    }
    return all;
}

std::vector<WindowPlan> PlanWindows(const std::vector<Monitor>& before, const std::vector<Monitor>& after,
                                    int copyWidth, int copyHeight, bool primarySwitched) {
    const PixelRect copied = VirtualScreen(before);
    const PixelRect wholeCopy{0, 0, copyWidth, copyHeight};
    const bool copyIsTheScreen = copied.Width() == copyWidth && copied.Height() == copyHeight;
    std::vector<WindowPlan> plans;
    for (const Monitor& now : after) {
        if (now.rect.Empty()) continue;
        WindowPlan plan;
        plan.device = now.device;
        plan.window = now.rect;
        plan.designed = now.primary && primarySwitched;
        plan.aspect = plan.designed ? kViewAspect : double(now.rect.Width()) / now.rect.Height();
        plan.picture = wholeCopy;
        const Monitor* then = Find(before, now.device);
        if (copyIsTheScreen && then != nullptr) {
            const PixelRect part{then->rect.left - copied.left, then->rect.top - copied.top,
                                 then->rect.right - copied.left, then->rect.bottom - copied.top};
            plan.picture = Intersect(part, wholeCopy);
        }
        // Pixel for pixel only where the part is exactly the window's size.
        plan.exactBackdrop = !plan.designed && copyIsTheScreen && plan.picture.Width() == now.rect.Width() &&
                             plan.picture.Height() == now.rect.Height();
        if (plan.picture.Empty()) plan.picture = wholeCopy;
        if (now.primary) {
            plans.insert(plans.begin(), plan);
        } else {
            plans.push_back(plan);
        }
    }
    return plans;
}

bool LayoutChanged(std::vector<Monitor> placedOn, std::vector<Monitor> now) {
    auto byDevice = [](const Monitor& a, const Monitor& b) { return a.device < b.device; };
    std::sort(placedOn.begin(), placedOn.end(), byDevice);
    std::sort(now.begin(), now.end(), byDevice);
    return placedOn != now;
}

int NextPowerOfTwo(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

namespace {

// One side of a picture cut into lengths, each in a texture side that is a
// power of two no larger than the largest: the last length padded up to its
// power where that wastes at most a fifth of the side, every other one a
// power itself. Both sides together then hold less than 1.44 times the
// picture's pixels (one texture padded to powers on both sides: up to 4).
struct Span {
    int start, length, texture;
};
std::vector<Span> CutSide(int side, int largest) {
    std::vector<Span> spans;
    const int slack = side / 5;
    for (int start = 0; start < side;) {
        const int rest = side - start;
        const int padded = NextPowerOfTwo(rest);
        if (padded <= largest && padded - rest <= slack) {
            spans.push_back({start, rest, padded});
            break;
        }
        int piece = 1;
        while (piece * 2 <= rest && piece * 2 <= largest) piece *= 2;
        spans.push_back({start, piece, piece});
        start += piece;
    }
    return spans;
}

}  // namespace

std::vector<TextureTile> PlanTiles(int width, int height, int maxTextureSize) {
    std::vector<TextureTile> tiles;
    if (width <= 0 || height <= 0 || maxTextureSize <= 0) return tiles;
    const std::vector<Span> rows = CutSide(height, maxTextureSize), columns = CutSide(width, maxTextureSize);
    for (const Span& row : rows) {
        for (const Span& column : columns) {
            TextureTile tile;
            tile.part = {column.start, row.start, column.start + column.length, row.start + row.length};
            tile.textureWidth = column.texture;
            tile.textureHeight = row.texture;
            tiles.push_back(tile);
        }
    }
    return tiles;
}

RGBImage CopyPart(const RGBImage& picture, const PixelRect& wanted, int width, int height) {
    const PixelRect part = Intersect(wanted, PixelRect{0, 0, picture.width, picture.height});
    RGBImage out;
    if (part.Empty()) return out;
    out.width = std::max(width, part.Width());
    out.height = std::max(height, part.Height());
    out.data.resize(size_t(out.width) * out.height * 3);
    const size_t rowBytes = size_t(part.Width()) * 3;
    for (int row = 0; row < out.height; ++row) {
        // Output row 0 is the part's bottom row; rows beyond its top repeat it.
        const int fromTop = part.bottom - 1 - std::min(row, part.Height() - 1);
        const uint8_t* source = &picture.data[(size_t(picture.height - 1 - fromTop) * picture.width + part.left) * 3];
        uint8_t* target = &out.data[size_t(row) * out.width * 3];
        std::memcpy(target, source, rowBytes);
        for (int x = part.Width(); x < out.width; ++x) std::memcpy(target + x * 3, source + rowBytes - 3, 3);
    }
    return out;
}
