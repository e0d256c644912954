// One OpenGL 2D texture object with the renderer's fixed wrapping and
// filtering, filled with mipmaps from a bitmap file or a raw RGBA file.
#pragma once

#include <cstdint>
#include <string>

struct RGBImage;

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
    bool LoadPicture(const RGBImage& image);         // a picture already read, with its mipmaps
    // A picture whose sides are powers of two, as one level shown one texel
    // a pixel (nearest texel, no mipmaps): a backdrop drawn pixel for pixel.
    bool LoadUnscaled(const RGBImage& image);
    bool LoadRawFile(const std::string& path);     // 256 x 256 RGBA behind a 44-byte header

    uint32_t name;   // GL texture name + 1; 0: no GL texture
    int32_t width;   // of the image last loaded
    int32_t height;

private:
    void Upload(const RGBImage& image);
};
