#include "FrameRateText.h"

#include <cstdio>

#include "GLHeaders.h"

namespace {

// 5 x 7 glyphs, one byte a row, top row first, the leftmost pixel in bit 7.
struct Glyph {
    char c;
    unsigned char rows[7];
};
const Glyph kGlyphs[] = {
    {'0', {0x70, 0x88, 0x98, 0xA8, 0xC8, 0x88, 0x70}}, {'1', {0x20, 0x60, 0x20, 0x20, 0x20, 0x20, 0x70}},
    {'2', {0x70, 0x88, 0x08, 0x10, 0x20, 0x40, 0xF8}}, {'3', {0xF8, 0x10, 0x20, 0x10, 0x08, 0x88, 0x70}},
    {'4', {0x10, 0x30, 0x50, 0x90, 0xF8, 0x10, 0x10}}, {'5', {0xF8, 0x80, 0xF0, 0x08, 0x08, 0x88, 0x70}},
    {'6', {0x30, 0x40, 0x80, 0xF0, 0x88, 0x88, 0x70}}, {'7', {0xF8, 0x08, 0x10, 0x20, 0x40, 0x40, 0x40}},
    {'8', {0x70, 0x88, 0x88, 0x70, 0x88, 0x88, 0x70}}, {'9', {0x70, 0x88, 0x88, 0x78, 0x08, 0x10, 0x60}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x60, 0x60}}, {'f', {0x30, 0x48, 0x40, 0xE0, 0x40, 0x40, 0x40}},
    {'p', {0x00, 0x00, 0xF0, 0x88, 0xF0, 0x80, 0x80}}, {'s', {0x00, 0x00, 0x70, 0x80, 0x70, 0x08, 0xF0}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
};

const Glyph* Find(char c) {
    for (const Glyph& g : kGlyphs) {
        if (g.c == c) return &g;
    }
    return nullptr;
}

void DrawText(const std::string& text, int x, int y) {
    glRasterPos2i(x, y);
    for (char c : text) {
        const Glyph* g = Find(c);
        if (g == nullptr) continue;
        unsigned char bottomUp[7];  // glBitmap's first row is the bottom one
        for (int r = 0; r < 7; ++r) bottomUp[r] = g->rows[6 - r];
        glBitmap(5, 7, 0.0f, 0.0f, 6.0f, 0.0f, bottomUp);
    }
}

}  // namespace

std::string FrameRateText(double framesPerSecond) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f fps", framesPerSecond < 0 ? 0.0 : framesPerSecond);
    return text;
}

void DrawFrameRate(const std::string& text, int width, int height) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glColor3ub(0, 0, 0);  // a shadow, so that it reads on any water
    DrawText(text, 9, 7);
    glColor3ub(255, 255, 255);
    DrawText(text, 8, 8);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
