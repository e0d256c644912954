#include "FrameReport.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "WaveField.h"

namespace {

constexpr const wchar_t* kReportFile = L"C:\\Tavelo-frames.txt";
uint32_t g_heldTick = 0;

}  // namespace

FrameReport::FrameReport()
    : firstTick_(GetTickCount()), stall_(GetEnvironmentVariableW(L"TAVELO_FRAME_STALL", nullptr, 0) > 0) {
    wchar_t held[16] = {};
    if (GetEnvironmentVariableW(L"TAVELO_FRAME_TICK", held, 16) > 0) {
        g_heldTick = static_cast<uint32_t>(wcstoul(held, nullptr, 10));
        SetWaveClock([] { return g_heldTick; });
    }
}

void FrameReport::FrameDrawn() {
    if (++frames_ != 1 || !stall_) return;
    if (FILE* report = _wfopen(kReportFile, L"w")) {
        std::fputs("stalled\n", report);
        std::fclose(report);
    }
    Sleep(INFINITE);
}

void FrameReport::Write(const FrameFacts& facts) const {
    const unsigned long elapsed = GetTickCount() - firstTick_;
    if (FILE* report = _wfopen(kReportFile, L"w")) {
        std::fprintf(report, "frames=%lu ms=%lu fps=%.1f refresh=%d swapinterval=%d paced=%d windows=%u software=%d\n",
                     frames_, elapsed, elapsed ? frames_ * 1000.0 / elapsed : 0.0, facts.refreshHz,
                     facts.swapInterval ? 1 : 0, facts.paced ? 1 : 0, facts.windows, facts.software ? 1 : 0);
        std::fclose(report);
    }
}
