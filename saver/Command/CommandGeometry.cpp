#include "CommandGeometry.h"

#include <cstdio>

#include "Forms/Twips.h"
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

bool FramePiecesInPixels(int width, int height, int dotsPerInch, std::array<PixelPiece, 8>& pieces) {
    constexpr int kPictureTwipsPerPixel = 15;
    const int corner = forms::TwipsToPixels(kCorner, dotsPerInch);
    std::array<FramePiece, 8> twips;
    if (width < 2 * corner || height < 2 * corner ||
        !FramePieces(kPictureWidth, kPictureHeight, twips)) {  // (only its sources are used)
        return false;
    }
    const int edgeW = width - 2 * corner, edgeH = height - 2 * corner;
    const int right = width - corner, bottom = height - corner;
    const PixelArea destinations[8] = {
        {0, 0, corner, corner},      {corner, 0, edgeW, corner},      {right, 0, corner, corner},
        {right, corner, corner, edgeH}, {right, bottom, corner, corner}, {corner, bottom, edgeW, corner},
        {0, bottom, corner, corner}, {0, corner, corner, edgeH},
    };
    for (size_t i = 0; i < pieces.size(); ++i) {
        // In the picture's pixels the one-twip offsets of the table fall to 0.
        const TwipsRect& s = twips[i].source;
        pieces[i].source = {s.x / kPictureTwipsPerPixel, s.y / kPictureTwipsPerPixel, s.width / kPictureTwipsPerPixel,
                            s.height / kPictureTwipsPerPixel};
        pieces[i].destination = destinations[i];
    }
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
