#include "FramePacer.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr int kDefaultRefreshHz = 60;
constexpr int kLowestRefreshHz = 20;
constexpr int kHighestRefreshHz = 1000;
constexpr int kIntervalsBeforeJudging = 8;   // frames watched before the swap interval is judged
constexpr double kIgnoredIntervalShare = 0.75;  // faster than this share of the period: not waited for
}  // namespace

bool IsSoftwareRasteriser(const std::string& glRenderer) {
    std::string name(glRenderer);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const char* software : {"gdi generic", "llvmpipe", "softpipe", "swrast", "software rasterizer",
                                 "swiftshader", "basic render driver"}) {
        if (name.find(software) != std::string::npos) return true;
    }
    return false;
}

FramePacer::FramePacer(int refreshHz, bool swapIntervalSet, int maxFramesPerSecond) : waits_(!swapIntervalSet) {
    const int hz = refreshHz < kLowestRefreshHz || refreshHz > kHighestRefreshHz ? kDefaultRefreshHz : refreshHz;
    period_ = 1000.0 / hz;
    if (maxFramesPerSecond > 0 && maxFramesPerSecond < hz) {
        period_ = 1000.0 / maxFramesPerSecond;
        waits_ = true;  // the swap waits one refresh at most: the slots do the rest
    }
}

int FramePacer::MillisecondsToWait(double nowMs) const {
    if (!waits_ || !started_) return 0;
    const double remaining = nextStart_ - nowMs;
    return remaining >= 1.0 ? static_cast<int>(remaining) : 0;
}

void FramePacer::FrameStarting(double nowMs) {
    if (started_ && !waits_) {
        const double interval = nowMs - lastStart_;
        averageInterval_ = intervals_ == 0 ? interval : 0.875 * averageInterval_ + 0.125 * interval;
        if (++intervals_ >= kIntervalsBeforeJudging && averageInterval_ < kIgnoredIntervalShare * period_) {
            waits_ = true;  // the swap does not wait for the display
        }
    }
    if (!started_ || nowMs - nextStart_ >= period_) {
        nextStart_ = nowMs + period_;
    } else {
        nextStart_ += period_;
    }
    started_ = true;
    lastStart_ = nowMs;
}
