// The saver's bitmap writer against the renderer's reader, and the argument
// text of a full command line.
#include <gtest/gtest.h>

#include "BmpFile.h"
#include "DIB.h"
#include "VBConvert.h"

namespace {

std::vector<uint8_t> Gradient(int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>(x * 7 + 1);
            p[1] = static_cast<uint8_t>(y * 11 + 2);
            p[2] = static_cast<uint8_t>(x * y + 3);
        }
    }
    return rgb;
}

}  // namespace

TEST(BmpFileTest, EveryRowPaddingReadsBackBottomRowFirst) {
    for (int width = 1; width <= 5; ++width) {
        const int height = 3;
        const std::vector<uint8_t> top = Gradient(width, height);
        const std::string file = EncodeBmp24(width, height, top);
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
        ASSERT_EQ(54 + stride * height, file.size()) << width;
        EXPECT_EQ(file.size(), static_cast<uint8_t>(file[2]) | static_cast<uint8_t>(file[3]) << 8);

        RGBImage image;
        ASSERT_EQ(DIBStatus::Ok, DecodeDIBImage(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image));
        ASSERT_EQ(width, image.width);
        ASSERT_EQ(height, image.height);
        // The reader gives the bottom row first; the writer took the top row first.
        for (int y = 0; y < height; ++y) {
            const size_t row = static_cast<size_t>(width) * 3;
            EXPECT_TRUE(std::equal(top.begin() + (height - 1 - y) * row, top.begin() + (height - y) * row,
                                   image.data.begin() + y * row))
                << "width " << width << " row " << y;
        }
    }
}

TEST(BmpFileTest, NothingForAnEmptyOrShortOrHugePicture) {
    EXPECT_EQ("", EncodeBmp24(0, 5, {}));
    EXPECT_EQ("", EncodeBmp24(5, -1, {}));
    EXPECT_EQ("", EncodeBmp24(2, 2, std::vector<uint8_t>(11)));
    EXPECT_EQ("", EncodeBmp24(0x7FFFFFFF, 0x7FFFFFFF, std::vector<uint8_t>(12)));
    EXPECT_EQ("", EncodeBmp24(0x40000000, 4, std::vector<uint8_t>(12)));
}

