// The scene drawn off-screen (OSMesa, 1024 x 768) with test pictures whose
// regions have known colours: checked pixel by pixel, not "something drew".
#include <gtest/gtest.h>

#include <cstdlib>

#include "DIB.h"
#include "GLHeaders.h"
#include "Scene.h"
#include "SceneView.h"
#include "WaveField.h"
#include "support/BmpBuilder.h"
#include "support/ImmediateWater.h"
#include "support/PlainWaveField.h"
#include "support/RecordingSink.h"
#include "support/OffscreenGL.h"
#include "support/TempDir.h"

namespace {

constexpr int W = 1024, H = 768;
// The water's far edge lies a little above the middle of the screen; these
// rows are safely above it and safely within the water.
constexpr int kLastBackdropRow = 330;
constexpr int kFirstWaterRow = 400;

uint32_t g_tick = 0;
uint32_t TestClock() { return g_tick; }

extern "C" uint64_t tavelo_gl_calls;  // every GL and GLU call the test program makes

const uint32_t kTicks[] = {0u, 1000u, 123456u, 2147483647u, 4294967295u};

// The field by the plain sum of sines, at the test clock.
void UpdatePlainField() { FillWaveFieldPlainly(g_tick); }

// A flat sea at the given height.
double g_flatHeight = 0.0;
void UpdateFlatField() {
    for (int i = 0; i < kWaveGridSize * kWaveGridSize; ++i) {
        WaveHeights[i] = static_cast<float>(g_flatHeight);
        WaveNormals[i * 3] = 0.0f;
        WaveNormals[i * 3 + 1] = 4.0f;
        WaveNormals[i * 3 + 2] = 0.0f;
    }
}

struct PixelDifference {
    size_t pixels = 0;
    int largest = 0;
};
PixelDifference Compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    PixelDifference d;
    for (size_t i = 0; i < a.size(); i += 3) {
        int largest = 0;
        for (size_t k = i; k < i + 3; ++k) largest = std::max(largest, std::abs(int(a[k]) - int(b[k])));
        d.pixels += largest != 0;
        d.largest = std::max(d.largest, largest);
    }
    return d;
}


struct Colour {
    int r, g, b;
};

// A backdrop in three bands (top to bottom), each with a left and a right colour.
BmpShape Backdrop(uint32_t topLeft, uint32_t topRight, uint32_t midLeft, uint32_t midRight, uint32_t bottom) {
    BmpShape s;
    s.width = 64;
    s.height = 48;
    s.pixel = [=](int x, int fileRow) {  // file row 0 is the bottom
        if (fileRow >= 32) return x < 32 ? topLeft : topRight;
        if (fileRow >= 16) return x < 32 ? midLeft : midRight;
        return bottom;
    };
    return s;
}

// The surface pattern: 256 x 256, vertical stripes of white and black (8 pairs).
BmpShape StripedSurface() {
    BmpShape s;
    s.width = 256;
    s.height = 256;
    s.pixel = [](int x, int) { return (x / 16) % 2 ? 0x000000u : 0xFFFFFFu; };
    return s;
}

BmpShape PlainSurface(uint32_t colour) {
    BmpShape s;
    s.width = 256;
    s.height = 256;
    s.pixel = [colour](int, int) { return colour; };
    return s;
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no off-screen GL context";
        SetWaveClock(TestClock);
        SeedWaveRandom(1);
        g_tick = 123456;
    }
    void TearDown() override { SetWaveClock(nullptr); }

    void Prepare(const BmpShape& backdrop, const BmpShape& surface) {
        PrepareFiles(dir.Write("Vey1.bmp", BuildBmp(backdrop)), dir.Write("Vey2.bmp", BuildBmp(surface)));
    }
    void PrepareFiles(const std::string& backdrop, const std::string& surface) {
        ASSERT_TRUE(sea.Init());
        scene.ResizeViewport(W, H);
        ASSERT_TRUE(scene.InitGLState(ReadScenePictures(backdrop, surface)));
    }

    std::vector<uint8_t> Draw() {
        sea.Update();
        scene.DrawFrame();
        return gl.Frame();
    }
    std::vector<uint8_t> DrawFormer(void (*updateField)() = nullptr) {
        FormerDrawing former(scene, sea, updateField);
        return Draw();
    }

    static Colour At(const std::vector<uint8_t>& f, int x, int y) {
        const uint8_t* p = &f[(size_t(y) * W + x) * 3];
        return {p[0], p[1], p[2]};
    }

    // Bright/dark alternations down a column of the water. The surface
    // pattern's s axis runs along the view (x), so its stripes lie across.
    static int Alternations(const std::vector<uint8_t>& f, int x) {
        int count = 0;
        bool bright = false;
        for (int y = kFirstWaterRow; y < H; ++y) {
            const Colour c = At(f, x, y);
            const int luma = c.r + c.g + c.b;
            if (!bright && luma > 330) {
                bright = true;
                ++count;
            } else if (bright && luma < 230) {
                bright = false;
            }
        }
        return count;
    }

    OffscreenGL gl{W, H};  // first made, last gone: the textures go before their context
    RecordingSink sink;
    TempDir dir;
    Sea sea;
    Scene scene{sea};
};

::testing::AssertionResult Near(Colour expected, Colour actual, int tolerance = 3) {
    if (std::abs(expected.r - actual.r) <= tolerance && std::abs(expected.g - actual.g) <= tolerance &&
        std::abs(expected.b - actual.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected (" << expected.r << "," << expected.g << "," << expected.b
                                         << ") got (" << actual.r << "," << actual.g << "," << actual.b << ")";
}

}  // namespace

TEST_F(SceneTest, BackdropIsUprightAndFillsTheFrameAboveTheWater) {
    Prepare(Backdrop(0xFF0000, 0x00FF00, 0x00FFFF, 0xFF00FF, 0xFFFF00), StripedSurface());
    const auto f = Draw();
    EXPECT_TRUE(sink.messages.empty());
    // Band centres: the top third at y = 128, the middle third at y = 300.
    EXPECT_TRUE(Near({255, 0, 0}, At(f, 200, 128)));
    EXPECT_TRUE(Near({0, 255, 0}, At(f, 800, 128)));
    EXPECT_TRUE(Near({0, 255, 255}, At(f, 200, 300)));
    EXPECT_TRUE(Near({255, 0, 255}, At(f, 800, 300)));
    // Every pixel above the water belongs to the picture: none has the clear colour.
    for (int y = 0; y <= kLastBackdropRow; y += 3) {
        for (int x = 0; x < W; x += 7) {
            const Colour c = At(f, x, y);
            ASSERT_FALSE(c.r == 51 && c.g == 51 && c.b == 76) << x << "," << y;
        }
    }
    // The lower third of the picture (yellow) is under the water.
    for (int y = kFirstWaterRow; y < H; y += 9) {
        const Colour c = At(f, 512, y);
        EXPECT_FALSE(c.r > 240 && c.g > 240 && c.b < 30) << y;
    }
}

TEST_F(SceneTest, SurfaceShowsTheTiledPatternTintedBlueCyan) {
    Prepare(Backdrop(0, 0, 0, 0, 0), StripedSurface());  // a black picture reflects nothing
    const auto striped = Draw();
    int bluish = 0, samples = 0;
    for (int y = kFirstWaterRow; y < H; y += 8) {
        for (int x = 0; x < W; x += 8) {
            const Colour c = At(striped, x, y);
            if (c.r + c.g + c.b < 60) continue;  // the black stripes
            ++samples;
            if (c.b >= c.g && c.g >= c.r) ++bluish;
        }
    }
    ASSERT_GT(samples, 1000);
    EXPECT_GT(bluish, samples * 9 / 10);  // lit blue-cyan, apart from white highlights
    // The stripes repeat 38.4 times along the sheet: dozens down each column.
    for (int x : {100, 400, 700, 1000}) EXPECT_GE(Alternations(striped, x), 20) << x;
}

TEST_F(SceneTest, ReflectionAddsAFlippedRipplingCopyOfThePicture) {
    // The top of the picture (red) appears nearest the viewer, its bottom
    // (blue) towards the horizon: compare with a black picture.
    Prepare(Backdrop(0, 0, 0, 0, 0), PlainSurface(0x808080));
    const auto dark = Draw();
    SeedWaveRandom(1);
    Prepare(Backdrop(0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF, 0x0000FF), PlainSurface(0x808080));
    const auto lit = Draw();

    auto added = [&](int y0, int y1, int channel) {
        long sum = 0, n = 0;
        for (int y = y0; y < y1; y += 2) {
            for (int x = 0; x < W; x += 4) {
                const Colour a = At(lit, x, y), b = At(dark, x, y);
                const int da[] = {a.r - b.r, a.g - b.g, a.b - b.b};
                sum += da[channel];
                ++n;
            }
        }
        return double(sum) / n;
    };
    // About a quarter (63/255) of the picture's brightness is added.
    EXPECT_GT(added(700, 768, 0), 30.0);  // red near the viewer
    EXPECT_LT(added(700, 768, 2), 8.0);
    EXPECT_GT(added(370, 400, 2), 30.0);  // blue towards the horizon
    EXPECT_LT(added(370, 400, 0), 8.0);
    EXPECT_NEAR(0.0, added(700, 768, 1), 3.0);  // the picture has no green

    // Rippling: the red/blue border of the reflection is not a straight line.
    int lowest = H, highest = 0;
    for (int x = 0; x < W; x += 16) {
        for (int y = H - 1; y >= kFirstWaterRow - 40; --y) {
            const Colour a = At(lit, x, y), b = At(dark, x, y);
            if ((a.b - b.b) > (a.r - b.r)) {
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
                break;
            }
        }
    }
    EXPECT_GT(highest - lowest, 4);
}

TEST_F(SceneTest, FramesFollowTheTickCountOnly) {
    Prepare(Backdrop(0xFF0000, 0x00FF00, 0x00FFFF, 0xFF00FF, 0xFFFF00), StripedSurface());
    const auto first = Draw();
    const auto again = Draw();
    EXPECT_EQ(first, again);  // same tick: the same frame
    g_tick += 40;
    const auto later = Draw();
    const size_t backdropBytes = size_t(kLastBackdropRow) * W * 3;
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + backdropBytes, later.begin()));
    size_t changed = 0;
    for (size_t i = size_t(kFirstWaterRow) * W * 3; i < first.size(); ++i) changed += first[i] != later[i];
    EXPECT_GT(changed, size_t(W) * 50);
}

TEST_F(SceneTest, MissingPicturesLeaveAWhiteBackdropAndPlainWater) {
    const std::string backdrop = dir.File("missing1.bmp"), surface = dir.File("missing2.bmp");
    PrepareFiles(backdrop, surface);
    ASSERT_EQ(3u, sink.messages.size());
    EXPECT_EQ(DIBOpenFailedMessage(backdrop), sink.messages[0]);
    EXPECT_EQ(DIBOpenFailedMessage(surface), sink.messages[1]);
    EXPECT_EQ(DIBOpenFailedMessage(backdrop), sink.messages[2]);
    EXPECT_NE(0u, scene.BackdropTexture.name);  // created, without an image

    const auto f = Draw();
    for (int y = 0; y <= kLastBackdropRow; y += 10) {
        for (int x = 0; x < W; x += 10) ASSERT_TRUE(Near({255, 255, 255}, At(f, x, y), 0)) << x << "," << y;
    }
    int bluish = 0, samples = 0;
    long blueOverRed = 0;
    for (int y = kFirstWaterRow; y < H; y += 8) {
        for (int x = 0; x < W; x += 8) {
            const Colour c = At(f, x, y);
            ++samples;
            blueOverRed += c.b - c.r;
            if (c.b >= c.g && c.g >= c.r) ++bluish;  // blue-cyan, or white in a highlight
        }
    }
    EXPECT_GT(bluish, samples * 95 / 100);
    EXPECT_GT(blueOverRed / samples, 40);
    for (int x : {100, 400, 700, 1000}) EXPECT_LE(Alternations(f, x), 3) << x;  // no pattern
}

TEST_F(SceneTest, StateLeftBehindByAFrame) {
    Prepare(Backdrop(0, 0, 0, 0, 0), StripedSurface());
    Draw();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_Q));
    GLint value = 0;
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(GL_EQUAL, value);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(GL_MODELVIEW, value);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &value);
    EXPECT_EQ(1, value);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &value);
    EXPECT_EQ(1, value);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

// From the same heights the vertex arrays and the cut backdrop give exactly
// the frames of immediate mode with the whole backdrop, with a few hundred
// GL calls instead of some 164,000.
TEST_F(SceneTest, VertexArraysDrawTheFormerFramesPixelForPixel) {
    Prepare(Backdrop(0xFF0000, 0x00FF00, 0x00FFFF, 0xFF00FF, 0xFFFF00), StripedSurface());
    for (uint32_t tick : kTicks) {
        g_tick = tick;
        const uint64_t before = tavelo_gl_calls;
        const auto now = Draw();
        const uint64_t calls = tavelo_gl_calls - before;
        const auto former = DrawFormer();
        const uint64_t formerCalls = tavelo_gl_calls - before - calls;
        EXPECT_EQ(0u, Compare(now, former).pixels) << "tick " << tick;
        EXPECT_LE(calls, 400u);
        EXPECT_GT(formerCalls, 160000u);  // the counter sees every call
    }
}

// The sum by angle addition differs from the plain one in the last bits: a
// few pixels of the water move by one level.
TEST_F(SceneTest, TheFastWaveSumChangesFewPixelsByOneLevel) {
    Prepare(Backdrop(0xFF0000, 0x00FF00, 0x00FFFF, 0xFF00FF, 0xFFFF00), StripedSurface());
    for (uint32_t tick : kTicks) {
        g_tick = tick;
        const PixelDifference d = Compare(Draw(), DrawFormer(UpdatePlainField));
        EXPECT_LE(d.pixels, 400u) << "tick " << tick;  // 124 to 315 of 786,432 here
        EXPECT_LE(d.largest, 1) << "tick " << tick;
    }
}

// The lowest sea the wave table allows (flat at minus the height bound) puts
// the far edge as low as it can go: the backdrop cut stays just below it.
TEST_F(SceneTest, TheWaterCoversTheCutBackdropEvenAtItsLowest) {
    Prepare(Backdrop(0xFF0000, 0x00FF00, 0x00FFFF, 0xFF00FF, 0xFFFF00), StripedSurface());
    const int cut = RowsAlwaysUnderWater(H, WaveHeightBound());
    EXPECT_GT(cut, 300);  // more than two fifths of the backdrop is not drawn
    for (double height : {-WaveHeightBound(), WaveHeightBound()}) {
        g_flatHeight = height;
        sea.updateField = UpdateFlatField;
        const auto cutFrame = Draw();
        scene.drawing.wholeBackdrop = true;
        const auto whole = Draw();
        scene.drawing = SceneDrawing();
        sea.updateField = nullptr;
        EXPECT_EQ(0u, Compare(cutFrame, whole).pixels) << "sea at " << height;
        if (height < 0) {
            // Tight: a few rows above the cut the backdrop shows (the middle band's right half).
            EXPECT_TRUE(Near({255, 0, 255}, At(whole, 1000, H - cut - 4), 30));
        }
    }
}

namespace {

// A frame drawn for a screen of its own resolution: the true aspect and the
// backdrop pixel for pixel, with the sea at the test clock.
std::vector<uint8_t> DrawForItsScreen(int width, int height, const std::string& backdrop, const std::string& surface) {
    OffscreenGL gl(width, height);  // made first, gone last
    EXPECT_TRUE(gl.ok());
    Sea sea;
    EXPECT_TRUE(sea.Init());
    Scene scene(sea);
    SceneLook look;
    look.picture = PixelRect{0, 0, width, height};
    look.aspect = double(width) / height;
    look.exactBackdrop = true;
    scene.ResizeViewport(width, height);
    scene.InitGLState(ReadScenePictures(backdrop, surface), look);
    sea.Update();
    scene.DrawFrame();
    return gl.Frame();
}

class ScreenSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetWaveClock(TestClock);
        SeedWaveRandom(1);
        g_tick = 123456;
    }
    void TearDown() override { SetWaveClock(nullptr); }
    RecordingSink sink;
    TempDir dir;
};

}  // namespace

// Above the highest the far edge can reach, every pixel is the picture's own.
TEST_F(ScreenSceneTest, At1920x1080TheBackdropIsThePicturePixelForPixel) {
    constexpr int w = 1920, h = 1080;
    BmpShape noise;
    noise.width = w;
    noise.height = h;
    noise.pixel = [](int x, int row) { return static_cast<uint32_t>((x * 2654435761u) ^ (row * 40503u) ^ (x * row)) & 0xFFFFFFu; };
    const auto frame = DrawForItsScreen(w, h, dir.Write("Vey1.bmp", BuildBmp(noise)), dir.Write("Vey2.bmp", BuildBmp(StripedSurface())));
    const int backdropRows = h - static_cast<int>(std::ceil(FarEdgeWindowY(h, WaveHeightBound() / 128))) - 2;
    ASSERT_GT(backdropRows, 450);
    size_t wrong = 0;
    for (int y = 0; y < backdropRows; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = noise.pixel(x, h - 1 - y);
            const uint8_t* f = &frame[(size_t(y) * w + x) * 3];
            wrong += f[0] != uint8_t(p >> 16) || f[1] != uint8_t(p >> 8) || f[2] != uint8_t(p);
        }
    }
    EXPECT_EQ(0u, wrong);
}

// Below the lowest far edge only water: neither the backdrop (magenta) nor
// the clear colour shows at the sides, whatever the screen's shape.
TEST_F(ScreenSceneTest, TheSeaReachesBothEdgesOnEveryShapeOfScreen) {
    const std::pair<int, int> screens[] = {{900, 720}, {960, 720}, {1152, 720}, {1280, 720}, {1680, 720}};
    for (const auto& [w, h] : screens) {
        BmpShape magenta;
        magenta.width = w;
        magenta.height = h;
        magenta.pixel = [](int, int) { return 0xFF00FFu; };
        const auto frame = DrawForItsScreen(w, h, dir.Write("m.bmp", BuildBmp(magenta)),
                                            dir.Write("p.bmp", BuildBmp(PlainSurface(0x808080))));
        const int waterRows = RowsAlwaysUnderWater(h, WaveHeightBound());
        size_t wrong = 0;
        for (int y = h - waterRows; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint8_t* f = &frame[(size_t(y) * w + x) * 3];
                wrong += (f[0] > 200 && f[1] < 60 && f[2] > 200) || (f[0] == 51 && f[1] == 51 && f[2] == 76);
            }
        }
        EXPECT_EQ(0u, wrong) << w << "x" << h;
    }
}

// Texture names are each context's own: two windows' scenes hold the same
// numbers. One that goes with its own context current leaves the other
// window's textures (the renderer's windows see to that order).
TEST_F(ScreenSceneTest, AScenesTexturesAreFreedInItsOwnContextOnly) {
    const std::string backdrop = dir.Write("Vey1.bmp", BuildBmp(Backdrop(0xFF0000, 0x00FF00, 0x00FFFF, 0xFF00FF, 0)));
    const std::string surface = dir.Write("Vey2.bmp", BuildBmp(StripedSurface()));
    OffscreenGL first(64, 64), second(64, 64);  // made first, gone last
    Sea sea;
    ASSERT_TRUE(sea.Init());
    auto gone = std::make_unique<Scene>(sea);
    Scene kept(sea);
    ASSERT_TRUE(first.MakeCurrent() && gone->InitGLState(ReadScenePictures(backdrop, surface)));
    ASSERT_TRUE(second.MakeCurrent() && kept.InitGLState(ReadScenePictures(backdrop, surface)));
    const uint32_t names[] = {kept.BackdropTexture.name, kept.SurfaceTexture.name, kept.ReflectionTexture.name};
    ASSERT_EQ(names[1], gone->SurfaceTexture.name);  // the same numbers in both contexts

    ASSERT_TRUE(first.MakeCurrent());
    gone.reset();
    ASSERT_TRUE(second.MakeCurrent());
    for (uint32_t name : names) EXPECT_TRUE(glIsTexture(name - 1)) << name - 1;
}
