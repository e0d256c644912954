// Figures for the renderer's work per frame: the wave field both ways, a
// whole frame drawn off-screen at 1024 x 768 (including glFinish) the
// former way and today's, with its GL calls, the frame on today's screens
// (1920 x 1080, and two monitors drawing one sea), and reading a
// screen-sized picture. tools/bench prints them with their ratios.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DIB.h"
#include "Scene.h"
#include "WaveBench.h"
#include "../support/BmpBuilder.h"
#include "../support/ImmediateWater.h"
#include "../support/OffscreenGL.h"
#include "../support/TempDir.h"

extern "C" uint64_t tavelo_gl_calls;

namespace {

void BM_WaveFieldPlain(benchmark::State& state) {
    PrepareBenchSea();
    PlainWaveField plain;
    uint32_t tick = kBenchFirstTick;
    for (auto _ : state) {
        plain.EvaluateAt(tick += kBenchTickStep);
        benchmark::DoNotOptimize(plain.heights[0]);
    }
    FreeWaveField();
}
BENCHMARK(BM_WaveFieldPlain)->Unit(benchmark::kMicrosecond);

void BM_WaveFieldAngleAddition(benchmark::State& state) {
    PrepareBenchSea();
    uint32_t tick = kBenchFirstTick;
    for (auto _ : state) {
        UpdateWaveFieldAt(tick += kBenchTickStep);
        benchmark::DoNotOptimize(WaveHeights[0]);
    }
    FreeWaveField();
}
BENCHMARK(BM_WaveFieldAngleAddition)->Unit(benchmark::kMicrosecond);

uint32_t g_tick = kBenchFirstTick;
uint32_t BenchClock() { return g_tick; }

void UpdatePlainField() { FillWaveFieldPlainly(g_tick); }

// Whole frames with a screen-sized picture and the sunlight pattern, the
// former way (plain field, immediate mode, whole backdrop) or today's.
void DrawFrames(benchmark::State& state, bool former) {
    OffscreenGL gl(1024, 768);
    if (!gl.ok()) {
        state.SkipWithError("no off-screen GL context");
        return;
    }
    TempDir dir;
    BmpShape backdrop;
    backdrop.width = 1024;
    backdrop.height = 768;
    backdrop.pixel = [](int x, int y) { return static_cast<uint32_t>((x * 7) ^ (y * 131) ^ (x * y)); };
    const ScenePictures pictures =
        ReadScenePictures(dir.Write("Vey1.bmp", BuildBmp(backdrop)), std::string(TAVELO_ASSETS_DIR) + "/sunlight.bmp");
    SeedWaveRandom(1);
    SetWaveClock(BenchClock);
    Sea sea;
    sea.Init();
    Scene scene(sea);
    scene.ResizeViewport(1024, 768);
    scene.InitGLState(pictures);
    std::optional<FormerDrawing> formerDrawing;
    if (former) formerDrawing.emplace(scene, sea, UpdatePlainField);
    uint64_t calls = 0;
    for (auto _ : state) {
        g_tick += kBenchTickStep;
        const uint64_t before = tavelo_gl_calls;
        sea.Update();
        scene.DrawFrame();
        glFinish();
        calls = tavelo_gl_calls - before - 1;  // not counting the glFinish
    }
    state.counters["gl_calls"] = static_cast<double>(calls);
    SetWaveClock(nullptr);
}
void BM_FrameFormer(benchmark::State& state) { DrawFrames(state, true); }
void BM_FrameToday(benchmark::State& state) { DrawFrames(state, false); }
// Mesa draws with threads of its own: the time that counts is the wall clock's.
BENCHMARK(BM_FrameFormer)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_FrameToday)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// A frame on screens kept at their resolution, each with a context of its
// own: the sea evaluated once, then every screen drawn (glFinish included).
void DrawScreens(benchmark::State& state, const std::vector<std::pair<int, int>>& screens) {
    std::vector<std::unique_ptr<OffscreenGL>> contexts;
    for (const auto& [w, h] : screens) contexts.push_back(std::make_unique<OffscreenGL>(w, h));
    TempDir dir;
    SeedWaveRandom(1);
    SetWaveClock(BenchClock);
    Sea sea;
    sea.Init();
    std::vector<std::unique_ptr<Scene>> scenes;
    double pixels = 0;
    for (size_t i = 0; i < screens.size(); ++i) {
        const auto [w, h] = screens[i];
        if (!contexts[i]->ok() || !contexts[i]->MakeCurrent()) {
            state.SkipWithError("no off-screen GL context");
            return;
        }
        BmpShape backdrop;
        backdrop.width = w;
        backdrop.height = h;
        backdrop.pixel = [](int x, int y) { return static_cast<uint32_t>((x * 7) ^ (y * 131) ^ (x * y)); };
        SceneLook look;
        look.picture = PixelRect{0, 0, w, h};
        look.aspect = double(w) / h;
        look.exactBackdrop = true;
        scenes.push_back(std::make_unique<Scene>(sea));
        scenes.back()->ResizeViewport(w, h);
        scenes.back()->InitGLState(ReadScenePictures(dir.Write("Vey1-" + std::to_string(i) + ".bmp", BuildBmp(backdrop)),
                                                     std::string(TAVELO_ASSETS_DIR) + "/sunlight.bmp"),
                                   look);
        pixels += double(w) * h;
    }
    for (auto _ : state) {
        g_tick += kBenchTickStep;
        sea.Update();
        for (size_t i = 0; i < scenes.size(); ++i) {
            contexts[i]->MakeCurrent();
            scenes[i]->DrawFrame();
            glFinish();
        }
    }
    state.counters["megapixels"] = pixels / 1e6;
    for (size_t i = 0; i < scenes.size(); ++i) {  // the textures, each in its own context
        contexts[i]->MakeCurrent();
        scenes[i].reset();
    }
    SetWaveClock(nullptr);
}
void BM_Frame1920x1080(benchmark::State& state) { DrawScreens(state, {{1920, 1080}}); }
void BM_FrameTwoMonitors(benchmark::State& state) { DrawScreens(state, {{1280, 1024}, {1024, 768}}); }
BENCHMARK(BM_Frame1920x1080)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_FrameTwoMonitors)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_DecodeScreenPicture(benchmark::State& state) {
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

}  // namespace

BENCHMARK_MAIN();
