// The renderer's pacing with a fake clock: a loop that waits when told to
// (overshooting a little, as timers do), draws for a given time and swaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "FramePacer.h"

namespace {

struct Loop {
    double drawMs;
    double vsyncMs;  // the swap waits for the next refresh at this period; 0: it returns at once
    double hitchAt = -1.0, hitchMs = 0.0;  // one frame that takes longer
    double overshootMs = 0.4;  // how late a wait wakes up
    int earlySwapFrame = -1;   // the one frame whose swap returns at once
};

struct Result {
    int frames = 0;
    double shortestGap = 1e9;  // between frame starts
    double shortestGapAfterHitch = 1e9;
    int longestWait = 0;
};

Result RunLoop(FramePacer& pacer, const Loop& loop, double untilMs) {
    Result r;
    double now = 0.0, last = -1.0;
    bool hitched = false;
    while (now < untilMs) {
        const int wait = pacer.MillisecondsToWait(now);
        if (wait > 0) {
            r.longestWait = std::max(r.longestWait, wait);
            now += wait + loop.overshootMs;
            continue;
        }
        pacer.FrameStarting(now);
        if (last >= 0.0) {
            r.shortestGap = std::min(r.shortestGap, now - last);
            if (hitched) r.shortestGapAfterHitch = std::min(r.shortestGapAfterHitch, now - last);
        }
        last = now;
        ++r.frames;
        now += loop.drawMs;
        if (!hitched && loop.hitchAt >= 0.0 && now >= loop.hitchAt) {
            now += loop.hitchMs;
            hitched = true;
        }
        if (loop.vsyncMs > 0.0 && r.frames - 1 != loop.earlySwapFrame) now = std::ceil(now / loop.vsyncMs) * loop.vsyncMs;
    }
    return r;
}

}  // namespace

TEST(FramePacerTest, RefreshRates) {
    struct Case {
        int hz;
        double period;
    };
    for (const Case& c : {Case{60, 1000.0 / 60}, Case{75, 1000.0 / 75}, Case{144, 1000.0 / 144}, Case{0, 1000.0 / 60},
                          Case{1, 1000.0 / 60}, Case{100000, 1000.0 / 60}, Case{-5, 1000.0 / 60}}) {
        EXPECT_DOUBLE_EQ(c.period, FramePacer(c.hz, false).PeriodMs()) << c.hz;
    }
}

TEST(FramePacerTest, WithoutASwapIntervalFramesFollowTheRefresh) {
    FramePacer pacer(60, false);
    const Result r = RunLoop(pacer, {2.0, 0.0}, 1000.0);
    EXPECT_GE(r.frames, 59);
    EXPECT_LE(r.frames, 61);
    EXPECT_GT(r.shortestGap, 1000.0 / 60 - 1.0);
    EXPECT_LE(r.longestWait, 16);  // never longer than a period: a key is seen at once
}

TEST(FramePacerTest, SlowFramesNeverWait) {
    FramePacer pacer(60, false);
    const Result r = RunLoop(pacer, {30.0, 0.0}, 1500.0);
    EXPECT_EQ(0, r.longestWait);
    EXPECT_EQ(50, r.frames);
}

TEST(FramePacerTest, ALateFrameStartsANewScheduleInsteadOfABurst) {
    FramePacer pacer(60, false);
    const Result r = RunLoop(pacer, {2.0, 0.0, 300.0, 80.0}, 1000.0);
    EXPECT_GT(r.shortestGapAfterHitch, 1000.0 / 60 - 1.0);
}

TEST(FramePacerTest, ASwapIntervalThatWaitsIsLeftToDoTheWork) {
    FramePacer pacer(60, true);
    const Result r = RunLoop(pacer, {2.0, 1000.0 / 60}, 1000.0);
    EXPECT_FALSE(pacer.Waits());
    EXPECT_EQ(0, r.longestWait);
    EXPECT_GE(r.frames, 59);
    EXPECT_LE(r.frames, 61);
    // A display slower than the frames (every other refresh) is no reason to wait either.
    FramePacer slow(60, true);
    RunLoop(slow, {20.0, 1000.0 / 60}, 1000.0);
    EXPECT_FALSE(slow.Waits());
}

TEST(FramePacerTest, ASwapIntervalThatDoesNotWaitIsPacedAnyway) {
    FramePacer pacer(60, true);
    const Result r = RunLoop(pacer, {2.0, 0.0}, 1000.0);
    EXPECT_TRUE(pacer.Waits());
    EXPECT_GE(r.frames, 59);
    EXPECT_LE(r.frames, 61 + 8);  // the frames watched before it was judged
}

TEST(FramePacerTest, TimersThatWakeLateStillGiveTheRefreshRate) {
    FramePacer pacer(60, false);
    const Result r = RunLoop(pacer, {2.0, 0.0, -1.0, 0.0, 2.0}, 1000.0);  // every wait 2 ms late
    EXPECT_GE(r.frames, 59);
    EXPECT_LE(r.frames, 61);
}

TEST(FramePacerTest, OneEarlySwapDoesNotStartTheWaitingForGood) {
    FramePacer pacer(60, true);
    RunLoop(pacer, {2.0, 1000.0 / 60, -1.0, 0.0, 0.4, 20}, 2000.0);
    EXPECT_FALSE(pacer.Waits());
}

TEST(FramePacerTest, SoftwareRasterisersArePacedTo30FramesASecond) {
    FramePacer fast(60, true, kSoftwareFramesPerSecond);  // a swap that waits for 60 Hz
    Result r = RunLoop(fast, {5.0, 1000.0 / 60}, 1000.0);
    EXPECT_GE(r.frames, 29);
    EXPECT_LE(r.frames, 31);
    FramePacer slow(60, false, kSoftwareFramesPerSecond);  // frames slower than that: no wait
    r = RunLoop(slow, {45.0, 0.0}, 900.0);
    EXPECT_EQ(0, r.longestWait);
    EXPECT_EQ(20, r.frames);
    EXPECT_DOUBLE_EQ(1000.0 / 60, FramePacer(60, true, 75).PeriodMs());  // a cap above the refresh changes nothing
    for (const int hz : {75, 144}) {  // faster displays: still 30, and never a long pause
        FramePacer capped(hz, true, kSoftwareFramesPerSecond);
        r = RunLoop(capped, {5.0, 1000.0 / hz}, 1000.0);
        EXPECT_GE(r.frames, 29) << hz;
        EXPECT_LE(r.frames, 31) << hz;
        EXPECT_LE(r.longestWait, 34) << hz;
    }
    const std::pair<const char*, bool> names[] = {
        {"GDI Generic", true}, {"llvmpipe (LLVM 15.0.6, 256 bits)", true}, {"softpipe", true},
        {"Software Rasterizer", true}, {"Google SwiftShader", true}, {"D3D12 (Microsoft Basic Render Driver)", true},
        {"NVIDIA GeForce RTX 3060/PCIe/SSE2", false}, {"AMD Radeon(TM) Graphics", false},
        {"Intel(R) UHD Graphics 620", false}, {"", false}};
    for (const auto& [name, software] : names) EXPECT_EQ(software, IsSoftwareRasteriser(name)) << name;
}
