// When a full-screen run is over, and what a preview reads from its command line.
#include <gtest/gtest.h>

#include "RunRules.h"

TEST(RendererWatchTest, WaitsForTheWindowWhileTheRendererStartsUp) {
    RendererWatch watch;
    // The renderer switches the display first: no window yet, but it runs.
    EXPECT_FALSE(watch.RunIsOver(false, true));
    EXPECT_FALSE(watch.RunIsOver(false, true));
    EXPECT_FALSE(watch.RunIsOver(true, true));
    EXPECT_TRUE(watch.WindowSeen());
    EXPECT_FALSE(watch.RunIsOver(true, true));
    // Once seen, its absence is the end, whether or not the process still
    // runs (it may be restoring the display mode).
    EXPECT_TRUE(watch.RunIsOver(false, true));
}

TEST(RendererWatchTest, EndsWhenTheRendererGoesWithoutEverShowingItsWindow) {
    RendererWatch refused;  // a refused display mode: the renderer exits at once
    EXPECT_FALSE(refused.RunIsOver(false, true));
    EXPECT_TRUE(refused.RunIsOver(false, false));

    RendererWatch neverStarted;  // no process at all
    EXPECT_TRUE(neverStarted.RunIsOver(false, false));

    RendererWatch seenThenGone;
    EXPECT_FALSE(seenThenGone.RunIsOver(true, false));  // a window is a window, whoever owns it
    EXPECT_TRUE(seenThenGone.RunIsOver(false, false));
}

TEST(PreviewRulesTest, TheHostNumberFollowsTheThirdCharacter) {
    EXPECT_EQ(1234, PreviewHostNumber("/p 1234"));
    EXPECT_EQ(1234, PreviewHostNumber("/P:1234"));
    EXPECT_EQ(1234, PreviewHostNumber("/p   1234  "));
    EXPECT_EQ(65604, PreviewHostNumber("/p 65604x"));
    EXPECT_EQ(12, PreviewHostNumber("/p 12.5"));     // rounded, halves to even (not 13)
    EXPECT_EQ(12, PreviewHostNumber("/p 11.5"));
    EXPECT_EQ(-5, PreviewHostNumber("/p -5"));
    EXPECT_EQ(0, PreviewHostNumber("/p"));
    EXPECT_EQ(0, PreviewHostNumber("/p "));
    EXPECT_EQ(0, PreviewHostNumber("/p window"));
    EXPECT_EQ(0, PreviewHostNumber("/p 99999999999"));  // beyond 32 bits
    EXPECT_EQ(0, PreviewHostNumber(""));
    EXPECT_EQ(123, PreviewHostNumber("―p 123"));  // the fourth character, not the fourth byte
}

TEST(PreviewRulesTest, SizesBecomeTwipsThatFitIn16Bits) {
    EXPECT_EQ(152 * 15, PreviewTwips(152, 15));
    EXPECT_EQ(112 * 15, PreviewTwips(112, 15));
    EXPECT_EQ(2184 * 15, PreviewTwips(2184, 15));
    EXPECT_EQ(0, PreviewTwips(2185, 15));  // 32775 twips do not fit
    EXPECT_EQ(0, PreviewTwips(0, 15));
    EXPECT_EQ(3000 * 10, PreviewTwips(3000, 10));
}

TEST(RendererWatchTest, ARendererThatNeverShowsItsWindowIsGivenUpAfterTenSeconds) {
    RendererWatch hung;
    EXPECT_FALSE(hung.RunIsOver(false, true));
    EXPECT_FALSE(hung.StartTimedOut(true, 9999));
    EXPECT_TRUE(hung.StartTimedOut(true, 10000));
    EXPECT_FALSE(hung.StartTimedOut(false, 20000));  // gone by itself: RunIsOver ends the run

    RendererWatch slow;  // a window seen once is never a hang, however late
    EXPECT_FALSE(slow.RunIsOver(true, true));
    EXPECT_FALSE(slow.StartTimedOut(true, 60000));
}

