// The bitmap reader on hand-made files: every header form and depth it
// converts, the exact messages of its failures, and hostile files that must
// be refused cleanly. Runs natively (also under the sanitizers' eyes in the
// fuzz replay) and under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DIB.h"
#include "support/BmpBuilder.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"

namespace {


class DIBTest : public ::testing::Test {
protected:

    std::unique_ptr<RGBImage> Load(const std::vector<uint8_t>& bytes, const std::string& name = "t.bmp") {
        return LoadDIBImage(dir.Write(name, bytes));
    }
    // Decodes from memory and expects the given failure with nothing shown.
    void ExpectRefused(const std::vector<uint8_t>& bytes, DIBStatus expected, const char* why) {
        RGBImage image;
        EXPECT_EQ(expected, DecodeDIBImage(bytes.data(), bytes.size(), image)) << why;
        EXPECT_TRUE(image.data.empty()) << why;
    }

    RecordingSink sink;
    TempDir dir;
};

std::vector<uint8_t> Rgb(std::initializer_list<int> bytes) {
    std::vector<uint8_t> v;
    for (int b : bytes) v.push_back(static_cast<uint8_t>(b));
    return v;
}

// Pixel (x, y) of an image, bottom row first.
std::vector<uint8_t> PixelAt(const RGBImage& image, int x, int y) {
    const size_t at = (static_cast<size_t>(y) * image.width + x) * 3;
    return {image.data[at], image.data[at + 1], image.data[at + 2]};
}

}  // namespace

TEST_F(DIBTest, TwentyFourBitsSkipRowPaddingForWidthThree) {
    BmpShape s;
    s.width = 3;
    s.height = 2;
    // BGR in the file: pixel value 0xRRGGBB.
    s.pixel = [](int x, int y) { return static_cast<uint32_t>((10 * x + 1) << 16 | (100 + y) << 8 | (200 + x)); };
    const auto bytes = BuildBmp(s);
    ASSERT_EQ(14u + 40u + 2 * 12u, bytes.size());  // 9 bytes of a row padded to 12
    auto image = Load(bytes);
    ASSERT_TRUE(image);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(3, image->width);
    EXPECT_EQ(2, image->height);
    EXPECT_EQ(Rgb({1, 100, 200, 11, 100, 201, 21, 100, 202, 1, 101, 200, 11, 101, 201, 21, 101, 202}), image->data);
}

TEST_F(DIBTest, WidthFourHasNoPadding) {
    BmpShape s;
    s.width = 4;
    s.height = 1;
    s.pixel = [](int x, int) { return static_cast<uint32_t>(x * 0x010203); };
    auto image = Load(BuildBmp(s));
    ASSERT_TRUE(image);
    EXPECT_EQ(Rgb({0, 0, 0, 1, 2, 3, 2, 4, 6, 3, 6, 9}), image->data);
}

TEST_F(DIBTest, OneBitThroughTwoEntryTable) {
    BmpShape s;
    s.width = 10;  // crosses a byte boundary
    s.height = 2;
    s.bitsPerPixel = 1;
    s.palette = {{{12, 34, 56}}, {{250, 128, 3}}};
    s.pixel = [](int x, int y) { return static_cast<uint32_t>((x + y) % 2); };
    auto image = Load(BuildBmp(s));
    ASSERT_TRUE(image);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ((x + y) % 2 ? Rgb({250, 128, 3}) : Rgb({12, 34, 56}), PixelAt(*image, x, y)) << x << "," << y;
        }
    }
}

TEST_F(DIBTest, FourAndEightBitsThroughTheirTables) {
    for (uint16_t bpp : {4, 8}) {
        BmpShape s;
        s.width = 7;
        s.height = 3;
        s.bitsPerPixel = bpp;
        const int entries = 1 << bpp;
        for (int i = 0; i < entries; ++i) {
            s.palette.push_back({{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)}});
        }
        s.pixel = [entries](int x, int y) { return static_cast<uint32_t>((x * 5 + y * 11) % entries); };
        auto image = Load(BuildBmp(s));
        ASSERT_TRUE(image) << bpp;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int i = (x * 5 + y * 11) % entries;
                EXPECT_EQ(Rgb({i, 255 - i, (i * 7) & 0xFF}), PixelAt(*image, x, y)) << bpp << " " << x << "," << y;
            }
        }
    }
}

TEST_F(DIBTest, ColoursUsedDecidesTheTableLength) {
    // A bare packed bitmap: the pixels start right behind the table, so the
    // table length must be read right for the picture to come out.
    for (uint32_t used : {0u, 16u}) {
        BmpShape s;
        s.fileHeader = false;
        s.width = 4;
        s.height = 1;
        s.bitsPerPixel = 8;
        s.colorsUsed = used;
        const int entries = used ? static_cast<int>(used) : 256;
        for (int i = 0; i < entries; ++i) s.palette.push_back({{static_cast<uint8_t>(i), 0, 0}});
        s.pixel = [](int x, int) { return static_cast<uint32_t>(x + 3); };
        const auto bytes = BuildBmp(s);
        EXPECT_EQ(used ? 16 : 256, DIBColorCount(bytes.data(), bytes.size()));
        auto image = Load(bytes);
        ASSERT_TRUE(image) << used;
        EXPECT_EQ(Rgb({3, 0, 0, 4, 0, 0, 5, 0, 0, 6, 0, 0}), image->data) << used;
    }
}

TEST_F(DIBTest, CoreHeaderFiles) {
    // OS/2 style: 16-bit width and height, 3-byte table entries.
    BmpShape s;
    s.headerSize = 12;
    s.width = 5;
    s.height = 2;
    s.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i) s.palette.push_back({{static_cast<uint8_t>(i), 7, static_cast<uint8_t>(255 - i)}});
    s.pixel = [](int x, int y) { return static_cast<uint32_t>(x * 40 + y); };
    for (bool fileHeader : {true, false}) {
        s.fileHeader = fileHeader;
        const auto bytes = BuildBmp(s);
        EXPECT_EQ(256, DIBColorCount(bytes.data() + (fileHeader ? 14 : 0), 12));
        auto image = Load(bytes);
        ASSERT_TRUE(image) << fileHeader;
        EXPECT_EQ(5, image->width);
        EXPECT_EQ(2, image->height);
        EXPECT_EQ(Rgb({161, 7, 94}), PixelAt(*image, 4, 1)) << fileHeader;
    }
    BmpShape c24;
    c24.headerSize = 12;
    c24.width = 2;
    c24.height = 1;
    c24.pixel = [](int x, int) { return x ? 0x112233u : 0xAABBCCu; };
    auto image = Load(BuildBmp(c24));
    ASSERT_TRUE(image);
    EXPECT_EQ(Rgb({0xAA, 0xBB, 0xCC, 0x11, 0x22, 0x33}), image->data);
}

TEST_F(DIBTest, SixteenAndThirtyTwoBitsWithAndWithoutMasks) {
    struct Case {
        uint16_t bpp;
        uint32_t compression;
        std::array<uint32_t, 3> masks;
        uint32_t value;
        std::vector<uint8_t> rgb;
    };
    const Case cases[] = {
        {16, 0, {0, 0, 0}, (31u << 10) | (16u << 5) | 1u, Rgb({255, 132, 8})},          // 5-5-5
        {16, 3, {0xF800, 0x07E0, 0x001F}, (31u << 11) | (32u << 5) | 0u, Rgb({255, 130, 0})},  // 5-6-5
        {16, 3, {0x0F00, 0x00F0, 0x000F}, 0x0F8Fu, Rgb({255, 136, 255})},             // 4-4-4
        {32, 0, {0, 0, 0}, 0xEE123456u, Rgb({0x12, 0x34, 0x56})},                     // B G R X
        {32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, 0x00563412u, Rgb({0x12, 0x34, 0x56})},
        {32, 3, {0x3FF00000, 0x000FFC00, 0x000003FF}, (1023u << 20) | (512u << 10), Rgb({255, 128, 0})},  // 10-10-10
    };
    for (const Case& c : cases) {
        BmpShape s;
        s.width = 3;
        s.height = 1;
        s.bitsPerPixel = c.bpp;
        s.compression = c.compression;
        s.masks = c.masks;
        const uint32_t value = c.value;
        s.pixel = [value](int, int) { return value; };
        for (bool fileHeader : {true, false}) {
            s.fileHeader = fileHeader;
            auto image = Load(BuildBmp(s));
            ASSERT_TRUE(image) << c.bpp << "/" << c.compression;
            EXPECT_EQ(c.rgb, PixelAt(*image, 2, 0)) << c.bpp << "/" << c.compression << " masks " << c.masks[0];
        }
    }
}

TEST_F(DIBTest, TopDownPicturesComeBackBottomRowFirst) {
    BmpShape s;
    s.width = 2;
    s.height = -3;
    s.pixel = [](int, int fileRow) { return static_cast<uint32_t>(fileRow + 1); };  // blue = file row + 1
    auto image = Load(BuildBmp(s));
    ASSERT_TRUE(image);
    EXPECT_EQ(3, image->height);
    // File row 0 is the top of the picture: it becomes the last output row.
    EXPECT_EQ(Rgb({0, 0, 3}), PixelAt(*image, 0, 0));
    EXPECT_EQ(Rgb({0, 0, 2}), PixelAt(*image, 1, 1));
    EXPECT_EQ(Rgb({0, 0, 1}), PixelAt(*image, 0, 2));
}

TEST_F(DIBTest, MessagesOfTheFailures) {
    const std::string missing = dir.File("no such picture.bmp");
    EXPECT_FALSE(LoadDIBImage(missing));
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ("Failed to open DIB file " + missing + ".\n", sink.messages[0]);

    sink.messages.clear();
    EXPECT_FALSE(Load({}, "empty.bmp"));
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ("Failed to open DIB file " + dir.File("empty.bmp") + ".\n", sink.messages[0]);

    sink.messages.clear();
    EXPECT_FALSE(LoadDIBImage(dir.Path().u8string()));  // a folder
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ(0u, sink.messages[0].rfind("Failed to open DIB file ", 0));

    for (uint32_t size : {108u, 124u, 64u, 16u, 0u}) {
        sink.messages.clear();
        BmpShape s;
        s.headerSize = size;
        s.width = 2;
        s.height = 2;
        EXPECT_FALSE(Load(BuildBmp(s))) << size;
        ASSERT_EQ(1u, sink.messages.size()) << size;
        EXPECT_EQ("Unknown DIB file format.", sink.messages[0]);
    }

    sink.messages.clear();
    BmpShape rle;
    rle.bitsPerPixel = 8;
    rle.compression = 1;  // run-length encoded: not converted
    rle.palette.resize(256);
    EXPECT_FALSE(Load(BuildBmp(rle)));
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ("Image file conversion error.", sink.messages[0]);

    sink.messages.clear();
    auto hugeBytes = BuildBmp(BmpShape{});  // a small file whose header claims a huge picture
    PutU32(hugeBytes, 18, 40000);
    PutU32(hugeBytes, 22, 40000);
    EXPECT_FALSE(Load(hugeBytes));
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ("Out of memory.", sink.messages[0]);
}

TEST_F(DIBTest, JapaneseFileNames) {
    BmpShape s;
    s.pixel = [](int, int) { return 0x123456u; };
    auto image = Load(BuildBmp(s), "水面 の 壁紙.bmp");
    ASSERT_TRUE(image);
    EXPECT_EQ(Rgb({0x12, 0x34, 0x56}), image->data);
    EXPECT_TRUE(sink.messages.empty());
}

TEST(DIBColorCountTest, FromHeaderFields) {
    std::vector<uint8_t> core(12, 0), info(40, 0);
    PutU32(core, 0, 12);
    PutU32(info, 0, 40);
    const std::pair<uint16_t, uint16_t> byDepth[] = {{1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}, {2, 0}};
    for (auto [bpp, count] : byDepth) {
        PutU16(core, 10, bpp);
        PutU16(info, 14, bpp);
        EXPECT_EQ(count, DIBColorCount(core.data(), core.size())) << bpp;
        EXPECT_EQ(count, DIBColorCount(info.data(), info.size())) << bpp;
    }
    PutU16(info, 14, 24);
    PutU32(info, 32, 7);  // colours used wins, whatever the depth
    EXPECT_EQ(7, DIBColorCount(info.data(), info.size()));
    PutU32(info, 32, 0x12345678u);  // saturates instead of wrapping
    EXPECT_EQ(0xFFFF, DIBColorCount(info.data(), info.size()));
    EXPECT_EQ(0, DIBColorCount(info.data(), 20));  // header cut short
    PutU32(info, 0, 108);
    EXPECT_EQ(0, DIBColorCount(info.data(), info.size()));
}

// ---- Hostile files: each must be refused with its message, never crash or
// read outside the file (the fuzz replay runs these shapes under ASan/UBSan).

TEST_F(DIBTest, EveryTruncationOfAValidFileIsRefusedCleanly) {
    BmpShape s;
    s.width = 5;
    s.height = 3;
    s.bitsPerPixel = 8;
    s.palette.resize(256, {{1, 2, 3}});
    const auto whole = BuildBmp(s);
    for (size_t length = 0; length < whole.size(); ++length) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
        RGBImage image;
        const DIBStatus status = DecodeDIBImage(cut.data(), cut.size(), image);
        EXPECT_NE(DIBStatus::Ok, status) << length;
        EXPECT_TRUE(image.data.empty());
    }
    RGBImage image;
    EXPECT_EQ(DIBStatus::Ok, DecodeDIBImage(whole.data(), whole.size(), image));
}

TEST_F(DIBTest, AbsurdDimensionsAreRefused) {
    auto withSize = [](int32_t width, int32_t height) {
        auto bytes = BuildBmp(BmpShape{});
        PutU32(bytes, 18, static_cast<uint32_t>(width));
        PutU32(bytes, 22, static_cast<uint32_t>(height));
        return bytes;
    };
    ExpectRefused(withSize(0, 1), DIBStatus::ConversionError, "zero width");
    ExpectRefused(withSize(1, 0), DIBStatus::ConversionError, "zero height");
    ExpectRefused(withSize(-1, 1), DIBStatus::ConversionError, "negative width");
    ExpectRefused(withSize(INT32_MIN, 1), DIBStatus::ConversionError, "INT32_MIN width");
    ExpectRefused(withSize(1, INT32_MIN), DIBStatus::OutOfMemory, "INT32_MIN height");
    ExpectRefused(withSize(INT32_MAX, INT32_MAX), DIBStatus::OutOfMemory, "width x height x 3 overflows");
    ExpectRefused(withSize(0x55555556, 3), DIBStatus::OutOfMemory, "x3 wraps in 32 bits");
    ExpectRefused(withSize(65536, 1), DIBStatus::OutOfMemory, "longer side than any screen");
    ExpectRefused(withSize(8192, 8193), DIBStatus::OutOfMemory, "more than 64 Mi pixels");
    // Within the limits but the file does not hold the pixels.
    ExpectRefused(withSize(4096, 4096), DIBStatus::ConversionError, "pixels beyond the file");
    ExpectRefused(withSize(1, -2), DIBStatus::ConversionError, "top-down rows beyond the file");
}

TEST_F(DIBTest, HostileTablesOffsetsAndDepths) {
    BmpShape s;
    s.width = 4;
    s.height = 2;
    s.bitsPerPixel = 8;
    s.palette.resize(256, {{9, 9, 9}});
    const auto good = BuildBmp(s);

    auto bytes = good;
    PutU32(bytes, 10, 0xFFFFFFF0u);
    ExpectRefused(bytes, DIBStatus::ConversionError, "pixel offset beyond the file");
    bytes = good;
    PutU32(bytes, 10, static_cast<uint32_t>(good.size() - 4));
    ExpectRefused(bytes, DIBStatus::ConversionError, "pixel offset leaving too few bytes");

    bytes = good;
    PutU32(bytes, 14 + 32, 0xFFFFFFFFu);
    ExpectRefused(bytes, DIBStatus::ConversionError, "colours used beyond 16 bits");
    bytes = good;
    PutU32(bytes, 14 + 32, 5000);
    ExpectRefused(bytes, DIBStatus::ConversionError, "colour table beyond the file");

    for (uint16_t bpp : {0, 2, 3, 7, 15, 48, 64, 0xFFFF}) {
        bytes = good;
        PutU16(bytes, 14 + 14, bpp);
        ExpectRefused(bytes, DIBStatus::ConversionError, "odd depth");
    }
    for (uint32_t compression : {1u, 2u, 4u, 5u, 6u, 0xFFFFFFFFu}) {
        bytes = good;
        PutU32(bytes, 14 + 16, compression);
        ExpectRefused(bytes, DIBStatus::ConversionError, "compression we do not convert");
    }
    bytes = good;
    PutU32(bytes, 14 + 16, 3);  // colour masks on an 8-bit picture
    ExpectRefused(bytes, DIBStatus::ConversionError, "masks on 8 bits");

    // Header sizes that would run past a short file.
    ExpectRefused({'B', 'M'}, DIBStatus::UnknownFormat, "file header only");
    ExpectRefused({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0}, DIBStatus::UnknownFormat, "size cut");
    ExpectRefused({40, 0, 0, 0, 1, 0}, DIBStatus::ConversionError, "information header cut");
    ExpectRefused({12, 0, 0, 0, 1, 0, 1, 0}, DIBStatus::ConversionError, "core header cut");
    bytes = BuildBmp(BmpShape{});
    PutU32(bytes, 14, 0xFFFFFFF0u);
    ExpectRefused(bytes, DIBStatus::UnknownFormat, "header size near 4 GiB");
}

TEST_F(DIBTest, IndicesBeyondTheTableComeOutBlack) {
    BmpShape s;
    s.width = 4;
    s.height = 1;
    s.bitsPerPixel = 8;
    s.colorsUsed = 2;
    s.palette = {{{10, 20, 30}}, {{40, 50, 60}}};
    s.pixel = [](int x, int) { return static_cast<uint32_t>(x == 0 ? 1 : 200 + x); };
    RGBImage image;
    const auto bytes = BuildBmp(s);
    ASSERT_EQ(DIBStatus::Ok, DecodeDIBImage(bytes.data(), bytes.size(), image));
    EXPECT_EQ(Rgb({40, 50, 60, 0, 0, 0, 0, 0, 0, 0, 0, 0}), image.data);
}
