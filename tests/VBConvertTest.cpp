// The number and text conversions the saver's settings and command lines
// follow.
#include <gtest/gtest.h>

#include "VBConvert.h"

TEST(ValOfTest, NumbersFromTheStartOfAText) {
    EXPECT_EQ(1234.0, ValOf("1234"));
    EXPECT_EQ(1234.0, ValOf("  12 34 and more"));  // blanks are skipped anywhere
    EXPECT_EQ(-5.5, ValOf("-5.5x"));
    EXPECT_EQ(16.0, ValOf("&H10"));
    EXPECT_EQ(16.0, ValOf("& h 1 0"));                  // blanks between "&" and "H" too
    EXPECT_EQ(1.0, ValOf("&O18"));                      // octal stops at 8
    EXPECT_EQ(4294967295.0, ValOf("&HFFFFFFFF1"));     // stops before the digit past 32 bits
    EXPECT_EQ(8.0, ValOf("&O10"));
    EXPECT_EQ(0.0, ValOf(""));
    EXPECT_EQ(0.0, ValOf("abc"));
    EXPECT_EQ(1500.0, ValOf("1.5e3"));
    EXPECT_EQ(4294967295.0, ValOf("4294967295"));
    int32_t rounded = 0;
    EXPECT_TRUE(RoundToInt32(2.5, rounded));
    EXPECT_EQ(2, rounded);  // halves to even
    EXPECT_TRUE(RoundToInt32(3.5, rounded));
    EXPECT_EQ(4, rounded);
    EXPECT_FALSE(RoundToInt32(4294967295.0, rounded));
    int16_t small = 0;
    EXPECT_FALSE(RoundToInt16(32767.5, small));
    EXPECT_TRUE(RoundToInt16(-32768.4, small));
    EXPECT_EQ(-32768, small);
    EXPECT_EQ(" 2", SignedText(2));
    EXPECT_EQ(" 0", SignedText(0));
    EXPECT_EQ("-3", SignedText(-3));
    EXPECT_EQ("", FormatHashHash(0));
    EXPECT_EQ("7", FormatHashHash(7));
    EXPECT_EQ("30", FormatHashHash(30));
}
