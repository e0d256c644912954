// The wave field timed in a Windows build (no Google Benchmark there):
// each way runs for at least half a second, five times; the median of the
// five times per frame is printed as "plain_us=... angle_addition_us=...".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "WaveBench.h"

namespace {

double MicrosecondsPerFrame(const std::function<void(uint32_t)>& frame) {
    using Clock = std::chrono::steady_clock;
    double runs[5];
    uint32_t tick = kBenchFirstTick;
    for (double& run : runs) {
        const Clock::time_point start = Clock::now();
        long frames = 0;
        double seconds = 0.0;
        do {
            frame(tick += kBenchTickStep);
            ++frames;
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        } while (seconds < 0.5);
        run = seconds * 1e6 / frames;
    }
    std::sort(runs, runs + 5);
    return runs[2];
}

}  // namespace

int main() {
    PrepareBenchSea();
    PlainWaveField plain;
    const double plainUs = MicrosecondsPerFrame([&](uint32_t tick) { plain.EvaluateAt(tick); });
    const double fastUs = MicrosecondsPerFrame([](uint32_t tick) { UpdateWaveFieldAt(tick); });
    std::printf("bits=%d plain_us=%.1f angle_addition_us=%.1f\n", static_cast<int>(sizeof(void*) * 8), plainUs, fastUs);
    FreeWaveField();
    return 0;
}
