// The wave field measured both ways: the plain sum of sines (one per
// component and grid point) and the renderer's sum by angle addition. Used
// by the Google Benchmark program natively and by the small timing program
// that runs under Wine.
#pragma once

#include "WaveField.h"
#include "../support/PlainWaveField.h"

// The sea of every run, with its arrays.
inline void PrepareBenchSea() {
    SeedWaveRandom(1);
    AllocateWaveField();
    InitWaveField();
}

// Tick counts near the top of the range, where the phases are largest.
constexpr uint32_t kBenchFirstTick = 4000000000u;
constexpr uint32_t kBenchTickStep = 16;
