// The button face's geometry without a window: the eight frame pieces cut
// from a 64 x 25 state picture (960 x 375 twips) in nine-slice fashion, the
// caption's place, and the gradient's colours built from their texts.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TwipsRect {
    int x, y, width, height;
};

struct FramePiece {
    TwipsRect destination;  // on the face
    TwipsRect source;       // in the state picture
};

// Corners at their own size, edges stretched along their length only, in
// the order they are drawn: top-left, top, top-right, right, bottom-right,
// bottom, bottom-left, left. False (no pieces; the face is the gradient
// alone) for a face below 8 pixels (120 twips) or above 32767 twips either
// way, where the edge lengths would be negative or not fit 16 bits.
bool FramePieces(int widthTwips, int heightTwips, std::array<FramePiece, 8>& pieces);

// The same pieces in pixels, for a face of width x height pixels on a
// screen of dotsPerInch. The state pictures are drawn at 15 twips a pixel
// whatever the screen, so each source is in the picture's own pixels (4 x 4
// corners, 56- and 17-pixel edges); each destination is in the face's pixels,
// the corners as large as the layout scales them (4 pixels at 96 dpi, 6 at
// 144, 8 at 192) and the edges stretched between them. False, as above,
// where the corners do not fit.
struct PixelArea {
    int x, y, width, height;
    bool operator==(const PixelArea& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};
struct PixelPiece {
    PixelArea destination;  // on the face
    PixelArea source;       // in the state picture
};
bool FramePiecesInPixels(int width, int height, int dotsPerInch, std::array<PixelPiece, 8>& pieces);

// The caption label's top: 10 twips above the exact middle.
int CaptionTop(int heightTwips, int labelHeightTwips);

// A colour text ("&HFFFFFF", "&HC6C5D7") as a gradient vertex's 16-bit
// channels: its value as six hexadecimal digits, pairs 1-2, 3-4, 5-6 as red,
// green and blue, each the 8-bit value in the high byte.
struct VertexColour {
    uint16_t red, green, blue;
};
VertexColour VertexColourOf(const std::string& text);

extern const char* const kGradientLight;  // "&HFFFFFF"
extern const char* const kGradientDark;   // "&HC6C5D7"
