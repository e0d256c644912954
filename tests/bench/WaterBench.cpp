// Figures for the renderer's processor work per frame: the wave field
// (262,144 sines and 16,384 normals) and reading a screen-sized picture.
#include <benchmark/benchmark.h>

#include "DIB.h"
#include "WaveField.h"
#include "../support/BmpBuilder.h"

static void BM_UpdateWaveField(benchmark::State& state) {
    SeedWaveRandom(1);
    AllocateWaveField();
    InitWaveField();
    uint32_t tick = 0;
    for (auto _ : state) {
        UpdateWaveFieldAt(tick += 16);
        benchmark::DoNotOptimize(WaveHeights[0]);
    }
    FreeWaveField();
    state.SetItemsProcessed(state.iterations() * 128 * 128 * 16);
}
BENCHMARK(BM_UpdateWaveField)->Unit(benchmark::kMillisecond);

static void BM_DecodeScreenPicture(benchmark::State& state) {
    BmpShape s;
    s.width = 1024;
    s.height = 768;
    s.bitsPerPixel = static_cast<uint16_t>(state.range(0));
    s.pixel = [](int x, int y) { return static_cast<uint32_t>(x * 2654435761u ^ y); };
    const auto file = BuildBmp(s);
    for (auto _ : state) {
        RGBImage image;
        benchmark::DoNotOptimize(DecodeDIBImage(file.data(), file.size(), image));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_DecodeScreenPicture)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
