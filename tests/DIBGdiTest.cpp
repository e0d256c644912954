// The bitmap reader against Windows itself: random pictures of every
// encoding the reader converts, written as files, must come out of our
// reader exactly as SetDIBits puts them into a 24-bit DIB section. And the
// reader's messages reach the user in a message box captioned "Error".
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "DIB.h"
#include "Utf16.h"
#include "support/BmpBuilder.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"
#include "support/WinDriver.h"

namespace {

// What the platform makes of the file: SetDIBits into a bottom-up 24-bit
// DIB section, repacked to tight RGB rows, bottom row first.
bool ConvertWithGdi(const std::vector<uint8_t>& file, std::vector<uint8_t>& rgb, int& width, int& height) {
    const uint8_t* header = file.data() + 14;
    const uint32_t headerSize = header[0] | header[1] << 8;
    int32_t srcHeight;
    if (headerSize == 12) {
        width = header[4] | header[5] << 8;
        srcHeight = header[6] | header[7] << 8;
    } else {
        width = *reinterpret_cast<const int32_t*>(header + 4);
        srcHeight = *reinterpret_cast<const int32_t*>(header + 8);
    }
    height = srcHeight < 0 ? -srcHeight : srcHeight;
    const uint32_t pixelPos = *reinterpret_cast<const uint32_t*>(file.data() + 10);

    BITMAPINFO target = {};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = width;
    target.bmiHeader.biHeight = height;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 24;
    target.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc == nullptr || section == nullptr) return false;
    HGDIOBJ old = SelectObject(dc, section);
    // The header, masks and colour table lie in the file just as SetDIBits wants them.
    const int lines = SetDIBits(dc, section, 0, static_cast<UINT>(height), file.data() + pixelPos,
                                reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    GdiFlush();
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = static_cast<const uint8_t*>(bits) + y * stride;
        for (int x = 0; x < width; ++x) {
            uint8_t* dst = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            dst[0] = src[3 * x + 2];
            dst[1] = src[3 * x + 1];
            dst[2] = src[3 * x + 0];
        }
    }
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
    return lines == height;
}

struct Encoding {
    const char* name;
    uint32_t headerSize;
    uint16_t bpp;
    uint32_t compression;
    std::array<uint32_t, 3> masks;
    int tableEntries;  // colour table entries written (0: none); colours used is set when short
};

const Encoding kEncodings[] = {
    {"1 bit", 40, 1, 0, {}, 2},
    {"4 bits", 40, 4, 0, {}, 16},
    {"4 bits, 9 colours used", 40, 4, 0, {}, 9},
    {"8 bits", 40, 8, 0, {}, 256},
    {"8 bits, 100 colours used", 40, 8, 0, {}, 100},
    {"16 bits 5-5-5", 40, 16, 0, {}, 0},
    {"16 bits masks 5-6-5", 40, 16, 3, {0xF800, 0x07E0, 0x001F}, 0},
    {"16 bits masks 5-5-5", 40, 16, 3, {0x7C00, 0x03E0, 0x001F}, 0},
    {"24 bits", 40, 24, 0, {}, 0},
    {"32 bits", 40, 32, 0, {}, 0},
    {"32 bits masks 8-8-8", 40, 32, 3, {0xFF0000, 0x00FF00, 0x0000FF}, 0},
    {"core 1 bit", 12, 1, 0, {}, 2},
    {"core 4 bits", 12, 4, 0, {}, 16},
    {"core 8 bits", 12, 8, 0, {}, 256},
    {"core 24 bits", 12, 24, 0, {}, 0},
};


}  // namespace

TEST(DIBGdiTest, RandomPicturesOfEveryEncodingMatchSetDIBits) {
    RecordingSink sink;
    TempDir dir;
    std::mt19937 random(20261207);
    int compared = 0;
    for (const Encoding& e : kEncodings) {
        for (int round = 0; round < 6; ++round) {
            for (bool topDown : {false, true}) {
                if (topDown && e.headerSize == 12) continue;  // core headers have unsigned heights
                BmpShape s;
                s.headerSize = e.headerSize;
                s.bitsPerPixel = e.bpp;
                s.compression = e.compression;
                s.masks = e.masks;
                s.width = 1 + static_cast<int>(random() % 67);
                const int rows = 1 + static_cast<int>(random() % 23);
                s.height = topDown ? -rows : rows;
                for (int i = 0; i < e.tableEntries; ++i) {
                    s.palette.push_back({{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                                          static_cast<uint8_t>(random())}});
                }
                if (e.headerSize == 40 && e.bpp <= 8 && e.tableEntries < (1 << e.bpp)) {
                    s.colorsUsed = static_cast<uint32_t>(e.tableEntries);
                }
                std::vector<uint32_t> values(static_cast<size_t>(s.width) * rows);
                for (uint32_t& v : values) {
                    v = static_cast<uint32_t>(random());
                    if (e.bpp <= 8) v %= static_cast<uint32_t>(e.tableEntries);
                    if (e.bpp == 16) v &= 0xFFFF;
                    if (e.bpp == 24) v &= 0xFFFFFF;
                }
                const int width = s.width;
                s.pixel = [&values, width](int x, int y) { return values[static_cast<size_t>(y) * width + x]; };
                const auto file = BuildBmp(s);

                std::vector<uint8_t> expected;
                int gdiWidth = 0, gdiHeight = 0;
                ASSERT_TRUE(ConvertWithGdi(file, expected, gdiWidth, gdiHeight)) << e.name;
                auto image = LoadDIBImage(dir.Write("random.bmp", file));
                ASSERT_TRUE(image) << e.name;
                ASSERT_EQ(gdiWidth, image->width) << e.name;
                ASSERT_EQ(gdiHeight, image->height) << e.name;
                ASSERT_EQ(expected, image->data)
                    << e.name << (topDown ? " top-down " : " ") << s.width << "x" << rows;
                ++compared;
            }
        }
    }
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(6 * (11 * 2 + 4), compared);
}

TEST(DIBGdiTest, FailuresShowAMessageBoxCaptionedError) {
    SetDIBErrorSink(nullptr);  // the real platform message box
    TempDir dir;
    const std::string path = dir.File("見つからない.bmp");
    std::wstring caption, text;
    std::thread dismisser([&] {
        HWND box = windriver::WaitForWindow(L"#32770", L"Error", 10000);
        if (box == nullptr) return;
        caption = windriver::WindowText(box);
        text = windriver::MessageBoxText(box);
        windriver::DismissMessageBox(box);
    });
    auto image = LoadDIBImage(path);  // returns once the box is dismissed
    dismisser.join();
    EXPECT_FALSE(image);
    EXPECT_EQ(L"Error", caption);
    // The static control shows the text without its final line break.
    EXPECT_EQ(Utf8ToWide("Failed to open DIB file " + path + "."), text.substr(0, text.find_last_not_of(L"\r\n") + 1));
}
