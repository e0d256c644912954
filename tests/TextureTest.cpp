// Texture objects in an off-screen GL context: names, levels and the bytes
// that reach GL.
#include <gtest/gtest.h>

#include <cstring>

#include "DIB.h"
#include "GLHeaders.h"
#include "TEXTURE.h"
#include "support/BmpBuilder.h"
#include "support/RecordingSink.h"
#include "support/OffscreenGL.h"
#include "support/TempDir.h"

namespace {


class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
    }

    static GLint Level(int level, GLenum what) {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &value);
        return value;
    }

    OffscreenGL gl{64, 64};
    RecordingSink sink;
    TempDir dir;
};

}  // namespace

TEST_F(TextureTest, CreateReplacesTheOldNameAndReleaseForgetsIt) {
    Texture never;
    never.Release();  // never created: nothing happens
    EXPECT_EQ(0u, never.name);

    Texture t;
    ASSERT_TRUE(t.Create());
    const uint32_t first = t.name;
    EXPECT_NE(0u, first);
    EXPECT_TRUE(glIsTexture(first - 1));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLint(first - 1), bound);

    GLint wrap = 0, minFilter = 0, magFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(GL_REPEAT, wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(GL_REPEAT, wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(GL_LINEAR, magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(GL_LINEAR_MIPMAP_NEAREST, minFilter);

    // Creating again deletes the first name first: only one lives at a time.
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(t.Create());
    int alive = 0;
    for (GLuint n = 1; n < 200; ++n) alive += glIsTexture(n) ? 1 : 0;
    EXPECT_EQ(1, alive);
    EXPECT_TRUE(glIsTexture(t.name - 1));

    const uint32_t last = t.name;
    t.Release();
    EXPECT_EQ(0u, t.name);
    EXPECT_FALSE(glIsTexture(last - 1));
    t.Release();  // twice is harmless
}

TEST_F(TextureTest, BitmapsUploadWithTheirMipmaps) {
    BmpShape one;
    one.pixel = [](int, int) { return 0x204060u; };
    Texture t;
    ASSERT_TRUE(t.LoadBitmapFile(dir.Write("one.bmp", BuildBmp(one))));
    EXPECT_EQ(1, t.width);
    EXPECT_EQ(1, t.height);
    EXPECT_EQ(1, Level(0, GL_TEXTURE_WIDTH));
    EXPECT_EQ(0, Level(1, GL_TEXTURE_WIDTH));  // a single level
    uint8_t texel[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(0x20, texel[0]);
    EXPECT_EQ(0x40, texel[1]);
    EXPECT_EQ(0x60, texel[2]);

    // A screen-sized picture is rescaled by GLU to power-of-two sides with the whole chain.
    BmpShape screen;
    screen.width = 1024;
    screen.height = 768;
    ASSERT_TRUE(t.LoadBitmapFile(dir.Write("screen.bmp", BuildBmp(screen))));
    EXPECT_EQ(1024, t.width);
    EXPECT_EQ(768, t.height);
    const GLint w = Level(0, GL_TEXTURE_WIDTH), h = Level(0, GL_TEXTURE_HEIGHT);
    EXPECT_EQ(0, w & (w - 1));
    EXPECT_EQ(0, h & (h - 1));
    EXPECT_GE(h, 512);
    int levels = 0;
    while (Level(levels, GL_TEXTURE_WIDTH) > 0) ++levels;
    EXPECT_EQ(11, levels);  // 1024 ... 1
}

TEST_F(TextureTest, RowsThatAreNotMultiplesOfFourBytesArriveIntact) {
    // 2 x 2 at 24 bits: 6 bytes a row. Read with 4-byte alignment, the second
    // row would start two bytes late.
    BmpShape s;
    s.width = 2;
    s.height = 2;
    s.pixel = [](int x, int y) { return static_cast<uint32_t>(0x101010 * (1 + x + 2 * y)); };
    Texture t;
    ASSERT_TRUE(t.LoadBitmapFile(dir.Write("two.bmp", BuildBmp(s))));
    uint8_t texels[12] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    const uint8_t expected[12] = {0x10, 0x10, 0x10, 0x20, 0x20, 0x20, 0x30, 0x30, 0x30, 0x40, 0x40, 0x40};
    EXPECT_EQ(0, std::memcmp(expected, texels, 12));
}

TEST_F(TextureTest, UnreadableBitmapsLeaveTheTextureEmptyAndBound) {
    Texture t;
    EXPECT_FALSE(t.LoadBitmapFile(dir.File("absent.bmp")));
    EXPECT_NE(0u, t.name);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLint(t.name - 1), bound);
    EXPECT_EQ(0, Level(0, GL_TEXTURE_WIDTH));
    ASSERT_EQ(1u, sink.messages.size());
}

TEST_F(TextureTest, RawFilesStartTwoBytesIntoThePixelsAndEndWithZeros) {
    std::vector<uint8_t> raw(44 + 256 * 256 * 4);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i * 7 + 3);
    Texture t;
    ASSERT_TRUE(t.LoadRawFile(dir.Write("pattern.raw", raw)));
    EXPECT_EQ(256, t.width);
    EXPECT_EQ(256, t.height);
    std::vector<uint8_t> texels(256 * 256 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(std::equal(texels.begin(), texels.end() - 2, raw.begin() + 46));
    EXPECT_EQ(0, texels[texels.size() - 2]);
    EXPECT_EQ(0, texels[texels.size() - 1]);

    // Missing or short: false, and no image.
    Texture missing;
    EXPECT_FALSE(missing.LoadRawFile(dir.File("absent.raw")));
    EXPECT_EQ(0, Level(0, GL_TEXTURE_WIDTH));
    raw.resize(44 + 1000);
    Texture shortFile;
    EXPECT_FALSE(shortFile.LoadRawFile(dir.Write("short.raw", raw)));
    EXPECT_EQ(0, Level(0, GL_TEXTURE_WIDTH));
}
