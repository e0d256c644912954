#include "CommandGeometry.h"

#include <cstdio>

#include "VBConvert.h"

const char* const kGradientLight = "&HFFFFFF";
const char* const kGradientDark = "&HC6C5D7";

namespace {

constexpr int kCorner = 60;                 // 4 pixels
constexpr int kPictureWidth = 960;          // 64 pixels
constexpr int kPictureHeight = 375;         // 25 pixels
constexpr int kSmallest = 2 * kCorner;      // 8 pixels
constexpr int kLargest = 32767;

}  // namespace

bool FramePieces(int w, int h, std::array<FramePiece, 8>& pieces) {
    if (w < kSmallest || h < kSmallest || w > kLargest || h > kLargest) return false;
    const int edgeW = w - 2 * kCorner, edgeH = h - 2 * kCorner;  // the 16-bit terms
    const int srcEdgeW = kPictureWidth - 2 * kCorner, srcEdgeH = kPictureHeight - 2 * kCorner;  // 840, 255
    const int right = kPictureWidth - kCorner, bottom = kPictureHeight - kCorner;              // 900, 315
    pieces = {{
        {{1, 1, kCorner, kCorner}, {0, 0, kCorner, kCorner}},
        {{kCorner, 1, edgeW, kCorner}, {kCorner, 1, srcEdgeW, kCorner}},
        {{w - kCorner, 1, kCorner, kCorner}, {right, 1, kCorner, kCorner}},
        {{w - kCorner, kCorner, kCorner, edgeH}, {right, kCorner, kCorner, srcEdgeH}},
        {{w - kCorner, h - kCorner, kCorner, kCorner}, {right, bottom, kCorner, kCorner}},
        {{kCorner, h - kCorner, edgeW, kCorner}, {kCorner, bottom, srcEdgeW, kCorner}},
        {{1, h - kCorner, kCorner, kCorner}, {0, bottom, kCorner, kCorner}},
        {{1, kCorner, kCorner, edgeH}, {1, kCorner, kCorner, srcEdgeH}},
    }};
    return true;
}

int CaptionTop(int heightTwips, int labelHeightTwips) { return (heightTwips - labelHeightTwips - 20) / 2; }

VertexColour VertexColourOf(const std::string& text) {
    const double value = ValOf(text);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06lX", static_cast<unsigned long>(value) & 0xFFFFFFul);
    auto channel = [&](int at) {
        return static_cast<uint16_t>(ValOf(std::string("&H") + digits[at] + digits[at + 1] + "00"));
    };
    return {channel(0), channel(2), channel(4)};
}
