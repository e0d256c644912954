// An off-screen OpenGL context (Mesa's OSMesa) for drawing tests of the
// scene code without any window or X server.
#pragma once

#include <GL/osmesa.h>

#include <cstdint>
#include <vector>

class OffscreenGL {
public:
    OffscreenGL(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * height * 4) {
        context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
        if (context_ != nullptr) {
            ok_ = OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, width, height) == GL_TRUE;
        }
    }
    ~OffscreenGL() {
        if (context_ != nullptr) OSMesaDestroyContext(context_);
    }
    bool ok() const { return ok_; }
    // Draws into this buffer from now on (several can live side by side).
    bool MakeCurrent() {
        return context_ != nullptr &&
               OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, width_, height_) == GL_TRUE;
    }
    int width() const { return width_; }
    int height() const { return height_; }

    // The frame as RGB rows, top row first (like a screenshot).
    std::vector<uint8_t> Frame() {
        glFinish();
        std::vector<uint8_t> rgb(size_t(width_) * height_ * 3);
        for (int y = 0; y < height_; ++y) {
            const uint8_t* src = pixels_.data() + size_t(height_ - 1 - y) * width_ * 4;  // OSMesa: bottom row first
            uint8_t* dst = rgb.data() + size_t(y) * width_ * 3;
            for (int x = 0; x < width_; ++x) {
                dst[3 * x] = src[4 * x];
                dst[3 * x + 1] = src[4 * x + 1];
                dst[3 * x + 2] = src[4 * x + 2];
            }
        }
        return rgb;
    }

private:
    int width_, height_;
    std::vector<uint8_t> pixels_;
    OSMesaContext context_ = nullptr;
    bool ok_ = false;
};
