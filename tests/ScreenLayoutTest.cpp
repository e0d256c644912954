// Where the renderer's windows go, the part of the screen copy each shows,
// and the textures a picture shown pixel for pixel is cut into: tables of
// monitor layouts as the system reports them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "SceneView.h"
#include "ScreenLayout.h"
#include "WaveField.h"

namespace {

Monitor M(const char* device, int left, int top, int width, int height, bool primary = false) {
    return Monitor{device, PixelRect{left, top, left + width, top + height}, primary};
}

struct Expected {
    PixelRect window, picture;
    bool designed, exact;
    double aspect;
};

struct Layout {
    const char* name;
    std::vector<Monitor> before, after;
    int copyWidth, copyHeight;
    bool switched;
    std::vector<Expected> windows;  // the primary's first
};

}  // namespace

TEST(ScreenLayoutTest, EachMonitorGetsAWindowAndItsOwnPartOfTheCopy) {
    const Layout layouts[] = {
        {"one 1024x768 monitor, switched as designed",
         {M("1", 0, 0, 1024, 768, true)}, {M("1", 0, 0, 1024, 768, true)}, 1024, 768, true,
         {{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true, false, 1.33}}},
        {"1920x1080 switched: the whole copy fitted to 1024x768",
         {M("1", 0, 0, 1920, 1080, true)}, {M("1", 0, 0, 1024, 768, true)}, 1920, 1080, true,
         {{{0, 0, 1024, 768}, {0, 0, 1920, 1080}, true, false, 1.33}}},
        {"1920x1080 kept",
         {M("1", 0, 0, 1920, 1080, true)}, {M("1", 0, 0, 1920, 1080, true)}, 1920, 1080, false,
         {{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, false, true, 16.0 / 9}}},
        {"2560x1080 kept",
         {M("1", 0, 0, 2560, 1080, true)}, {M("1", 0, 0, 2560, 1080, true)}, 2560, 1080, false,
         {{{0, 0, 2560, 1080}, {0, 0, 2560, 1080}, false, true, 2560.0 / 1080}}},
        {"1280x1024 with 1024x768 to its right, kept (a display that cannot switch)",
         {M("1", 0, 0, 1280, 1024, true), M("2", 1280, 0, 1024, 768)},
         {M("1", 0, 0, 1280, 1024, true), M("2", 1280, 0, 1024, 768)}, 2304, 1024, false,
         {{{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, false, true, 1.25},
          {{1280, 0, 2304, 768}, {1280, 0, 2304, 768}, false, true, 1024.0 / 768}}},
        {"the same switched: the second moves up to the new edge, its part stays",
         {M("2", 1280, 0, 1024, 768), M("1", 0, 0, 1280, 1024, true)},
         {M("2", 1024, 0, 1024, 768), M("1", 0, 0, 1024, 768, true)}, 2304, 1024, true,
         {{{0, 0, 1024, 768}, {0, 0, 1280, 1024}, true, false, 1.33},
          {{1024, 0, 2048, 768}, {1280, 0, 2304, 768}, false, true, 1024.0 / 768}}},
        {"a second monitor left of and above the primary (negative origin)",
         {M("1", 0, 0, 1920, 1080, true), M("2", -1280, -500, 1280, 1024)},
         {M("1", 0, 0, 1920, 1080, true), M("2", -1280, -500, 1280, 1024)}, 3200, 1580, false,
         {{{0, 0, 1920, 1080}, {1280, 500, 3200, 1580}, false, true, 16.0 / 9},
          {{-1280, -500, 0, 524}, {0, 0, 1280, 1024}, false, true, 1.25}}},
        {"a picture from elsewhere (not the screen's size) is shown whole, fitted",
         {M("1", 0, 0, 1920, 1080, true)}, {M("1", 0, 0, 1920, 1080, true)}, 1024, 768, false,
         {{{0, 0, 1920, 1080}, {0, 0, 1024, 768}, false, false, 16.0 / 9}}},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const std::vector<WindowPlan> plans =
            PlanWindows(layout.before, layout.after, layout.copyWidth, layout.copyHeight, layout.switched);
        ASSERT_EQ(layout.windows.size(), plans.size());
        for (size_t i = 0; i < plans.size(); ++i) {
            const Expected& e = layout.windows[i];
            EXPECT_EQ(e.window, plans[i].window) << i;
            EXPECT_EQ(e.picture, plans[i].picture) << i;
            EXPECT_EQ(e.designed, plans[i].designed) << i;
            EXPECT_EQ(e.exact, plans[i].exactBackdrop) << i;
            EXPECT_NEAR(e.aspect, plans[i].aspect, 1e-9) << i;
        }
    }
    EXPECT_EQ((PixelRect{-1280, -500, 1920, 1080}),
              VirtualScreen({M("1", 0, 0, 1920, 1080, true), M("2", -1280, -500, 1280, 1024)}));
}

TEST(ScreenLayoutTest, PicturesAreCutIntoPowerOfTwoTilesTheImplementationTakes) {
    struct Case {
        int width, height, maxSize;
        std::vector<TextureTile> tiles;
    };
    const Case cases[] = {
        {1024, 768, 16384, {{{0, 0, 1024, 512}, 1024, 512}, {{0, 512, 1024, 768}, 1024, 256}}},
        {1920, 1080, 16384, {{{0, 0, 1920, 1024}, 2048, 1024}, {{0, 1024, 1920, 1080}, 2048, 64}}},
        {3000, 1000, 2048, {{{0, 0, 2048, 1000}, 2048, 1024}, {{2048, 0, 3000, 1000}, 1024, 1024}}},
        {120, 5000, 3000, {{{0, 0, 120, 2048}, 128, 2048}, {{0, 2048, 120, 4096}, 128, 2048},
                           {{0, 4096, 120, 5000}, 128, 1024}}},
        {0, 768, 16384, {}},
    };
    for (const Case& c : cases) {
        const std::vector<TextureTile> tiles = PlanTiles(c.width, c.height, c.maxSize);
        ASSERT_EQ(c.tiles.size(), tiles.size()) << c.width << "x" << c.height;
        for (size_t i = 0; i < tiles.size(); ++i) {
            EXPECT_EQ(c.tiles[i].part, tiles[i].part) << i;
            EXPECT_EQ(c.tiles[i].textureWidth, tiles[i].textureWidth) << i;
            EXPECT_EQ(c.tiles[i].textureHeight, tiles[i].textureHeight) << i;
        }
    }
}

// A large monitor's backdrop in texture memory (4 bytes a texel, as drivers
// hold RGB) within 1.5 times its pixels, every pixel in exactly one tile.
// Before, one texture padded to powers on both sides took up to 4 times.
TEST(ScreenLayoutTest, LargeMonitorsTakeAtMostHalfAgainTheirPixelsInTextures) {
    const struct {
        int width, height, monitors;
    } screens[] = {{1920, 1080, 1}, {2560, 1440, 1}, {3840, 2160, 1}, {3840, 2160, 3}};
    auto mb = [](double texels) { return texels * 4 / (1 << 20); };
    for (const auto& screen : screens) {
        const std::vector<TextureTile> tiles = PlanTiles(screen.width, screen.height, 16384);
        double texels = 0, covered = 0, largest = 0;
        for (const TextureTile& tile : tiles) {
            EXPECT_TRUE(tile.textureWidth >= tile.part.Width() && tile.textureHeight >= tile.part.Height());
            EXPECT_EQ(tile.part, Intersect(tile.part, PixelRect{0, 0, screen.width, screen.height}));
            texels += double(tile.textureWidth) * tile.textureHeight;
            covered += double(tile.part.Width()) * tile.part.Height();
            largest = std::max(largest, double(tile.textureWidth) * tile.textureHeight);
        }
        const double pixels = double(screen.width) * screen.height;
        EXPECT_EQ(pixels, covered);  // the parts do not overlap: they lie in rows and columns
        EXPECT_LE(texels, 1.5 * pixels) << screen.width << "x" << screen.height;
        const double before = double(NextPowerOfTwo(screen.width)) * NextPowerOfTwo(screen.height);
        std::printf("%dx%d x%d: shown %.1f MB, textures %.1f MB (before %.1f MB), largest copy %.1f MB (before %.1f MB)\n",
                    screen.width, screen.height, screen.monitors, screen.monitors * mb(pixels),
                    screen.monitors * mb(texels), screen.monitors * mb(before), mb(largest) * 3 / 4,
                    mb(before) * 3 / 4);
    }
}

TEST(ScreenLayoutTest, APartIsCopiedBottomRowFirstAndPaddedWithItsEdges) {
    RGBImage picture;  // 4 x 3, rows bottom first; pixel (x, y from the top) has red x, green y
    picture.width = 4;
    picture.height = 3;
    for (int row = 0; row < 3; ++row) {
        for (int x = 0; x < 4; ++x) picture.data.insert(picture.data.end(), {uint8_t(x), uint8_t(2 - row), 7});
    }
    const RGBImage part = CopyPart(picture, PixelRect{1, 0, 3, 2}, 4, 4);  // x 1..2, the top two rows
    ASSERT_EQ(4, part.width);
    ASSERT_EQ(4, part.height);
    auto at = [&](int x, int row) { return std::vector<uint8_t>(&part.data[(row * 4 + x) * 3], &part.data[(row * 4 + x) * 3 + 3]); };
    EXPECT_EQ((std::vector<uint8_t>{1, 1, 7}), at(0, 0));  // its bottom row is the picture's second from the top
    EXPECT_EQ((std::vector<uint8_t>{2, 0, 7}), at(1, 1));
    EXPECT_EQ((std::vector<uint8_t>{2, 0, 7}), at(3, 3));  // padding repeats the last column and the top row
    EXPECT_EQ(0, CopyPart(picture, PixelRect{5, 5, 9, 9}).width);  // nothing of it inside
}

TEST(ScreenLayoutTest, WideViewsDrawCopiesOfTheSheetOnlyWhereTheySeeThem) {
    const double bound = 1.43;  // about the table's WaveHeightBound
    struct Case {
        double aspect;
        size_t copies;
    };
    const Case cases[] = {{1.25, 0}, {4.0 / 3, 0}, {1.6, 2}, {16.0 / 9, 2}, {2560.0 / 1080, 2}, {6.0, 4}};
    for (const Case& c : cases) {
        const std::vector<SheetCopy> copies = SheetCopies(c.aspect, bound);
        ASSERT_EQ(c.copies, copies.size()) << c.aspect;
        const double half = FarEdgeHalfWidth(c.aspect, -bound / 128);
        for (const SheetCopy& copy : copies) {
            // The strips drawn reach beyond the view's edge at the far edge,
            // and no further than needed (at most the whole copy).
            const int k = copy.offset > 0 ? copy.offset : -copy.offset;
            const int strips = copy.endStrip - copy.firstStrip;
            const double reach = (2 * k - 1) + strips / 64.0;
            EXPECT_GE(reach, std::min(half, 2.0 * k + 1)) << c.aspect;
            EXPECT_LE(strips, 128);
            EXPECT_TRUE(copy.offset > 0 ? copy.firstStrip == 0 : copy.endStrip == 128);
        }
    }
    EXPECT_NEAR(0.84, FarEdgeHalfWidth(1.33, 0.0), 0.01);  // 4:3: the sheet (half-width 1) is enough
}
