// One OpenGL 2D texture object with the renderer's fixed wrapping and
// filtering, filled with mipmaps from a bitmap file or a raw RGBA file.
#pragma once

#include <cstdint>
#include <string>

class Texture {
public:
    Texture();
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    bool Create();   // a fresh, bound GL texture with the fixed parameters; always true
    void Release();  // deletes the GL texture if there is one
    void Bind();     // only on a created texture
    bool LoadBitmapFile(const std::string& path);  // through the bitmap reader
    bool LoadRawFile(const std::string& path);     // 256 x 256 RGBA behind a 44-byte header

    uint32_t name;   // GL texture name + 1; 0: no GL texture
    int32_t width;   // of the image last loaded
    int32_t height;
};
