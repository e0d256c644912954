#include "TEXTURE.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "DIB.h"
#include "FileView.h"
#include "GLHeaders.h"

namespace {
constexpr size_t kRawHeaderBytes = 44;
constexpr int kRawSide = 256;
constexpr size_t kRawPixelBytes = kRawSide * kRawSide * 4;
}  // namespace

Texture::Texture() : name(0), width(0), height(0) {}

Texture::~Texture() { Release(); }

bool Texture::Create() {
    Release();
    GLuint glName = 0;
    glGenTextures(1, &glName);
    name = glName + 1;
    glBindTexture(GL_TEXTURE_2D, glName);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR_MIPMAP_NEAREST));
    return true;
}

void Texture::Release() {
    if (name != 0) {
        const GLuint glName = name - 1;
        glDeleteTextures(1, &glName);
        name = 0;
    }
}

void Texture::Bind() { glBindTexture(GL_TEXTURE_2D, name - 1); }

bool Texture::LoadBitmapFile(const std::string& path) {
    Create();
    std::unique_ptr<RGBImage> image = LoadDIBImage(path);
    if (!image) return false;
    Upload(*image);
    return true;
}

bool Texture::LoadPicture(const RGBImage& image) {
    Create();
    Upload(image);
    return true;
}

// GLU scales a picture whose sides are not powers of two and builds the
// whole mipmap chain; the picture's first row is the bottom row (t = 0).
// Its scaling reads a few bytes past the last pixel: it reads a copy with a
// spare row of zeros after it.
void Texture::Upload(const RGBImage& image) {
    width = image.width;
    height = image.height;
    const size_t bytes = size_t(width) * height * 3;
    if (image.data.size() < bytes) return;
    std::vector<uint8_t> padded(bytes + size_t(width) * 3 + 4, 0);
    std::memcpy(padded.data(), image.data.data(), bytes);
    // Rows are tightly packed: a width whose rows are not a multiple of four
    // bytes must not be read with the default 4-byte row alignment.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, padded.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

bool Texture::LoadUnscaled(const RGBImage& image) {
    Create();
    if (image.width <= 0 || image.height <= 0 || (image.width & (image.width - 1)) != 0 ||
        (image.height & (image.height - 1)) != 0) {
        return false;
    }
    width = image.width;
    height = image.height;
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_NEAREST));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_NEAREST));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return true;
}

bool Texture::LoadRawFile(const std::string& path) {
    Create();
    std::unique_ptr<FileView> file = OpenFileView(path);
    if (!file || file->Size() < kRawHeaderBytes + kRawPixelBytes) return false;
    // The pixels used start two bytes into what is read (file offset 46); the
    // last two come from the buffer's spare tail, which is zero.
    std::vector<uint8_t> buffer(kRawPixelBytes + 4, 0);
    std::memcpy(buffer.data(), file->Data() + kRawHeaderBytes, kRawPixelBytes);
    width = kRawSide;
    height = kRawSide;
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, kRawSide, kRawSide, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data() + 2);
    return true;
}
