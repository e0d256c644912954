// The wave field, checked against the component table and heights the sea
// must have. The same source runs natively and under Wine, so the numbers
// hold on the target's floating point too.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <vector>

#include "WaveField.h"
#include "support/PlainWaveField.h"

namespace {

// Relative tolerance for "four significant digits".
void ExpectFourDigits(double expected, double actual, const char* what, int row) {
    const double tolerance = std::fabs(expected) * 6e-4;
    EXPECT_NEAR(expected, actual, tolerance) << what << " of component " << row;
}

class WaveFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        SeedWaveRandom(1);
        ASSERT_TRUE(AllocateWaveField());
        InitWaveField();
    }
    void TearDown() override {
        FreeWaveField();
        SetWaveClock(nullptr);
    }
};

struct Expected {
    double f, theta, ampCos, ampSin;
};

const Expected kTable[16] = {
    {0.4038, 4.5858, -0.04699, 0.06444},   {0.7148, 6.7407, -0.001575, -0.07331},
    {0.6777, 6.0349, -0.0942, -0.008021},  {0.8073, 4.3711, 0.01929, 0.0179},
    {0.1967, 4.9112, -0.1233, -0.05913},   {0.4206, 5.3856, 0.1973, 0.3395},
    {0.4818, 4.4031, -0.03776, 0.05055},   {0.4265, 6.4924, 0.1969, -0.574},
    {0.5455, 7.5767, 0.1209, -0.06095},    {0.3582, 2.4651, -0.0003292, 0.00007998},
    {0.5985, 6.8715, 0.1494, -0.003036},   {0.8185, 5.4128, -0.02991, 0.02399},
    {0.1947, 2.1528, -0.03934, -0.07991},  {0.7376, 3.3042, -0.0004658, 0.003217},
    {0.4067, 5.9135, 0.3494, -0.5695},     {0.5453, 4.6177, 0.02427, 0.08423},
};

}  // namespace

TEST_F(WaveFieldTest, DrawsTheSameSixteenComponentsEveryRun) {
    EXPECT_EQ(16, WaveComponents.count);
    EXPECT_EQ(30, WaveComponents.attempts);

    // 74 random numbers: 8 attempts with v <= 0 take one, the other 22 take three.
    uint32_t state = 1;
    for (int i = 0; i < 74; ++i) state = state * 214013u + 2531011u;
    EXPECT_EQ(state, WaveRandomState());

    for (int i = 0; i < 16; ++i) {
        const WaveComponent& c = WaveComponents.components[i];
        ExpectFourDigits(kTable[i].f, c.frequency, "f", i + 1);
        ExpectFourDigits(kTable[i].theta, c.direction, "theta", i + 1);
        ExpectFourDigits(kTable[i].ampCos, c.ampCos, "ampCos", i + 1);
        ExpectFourDigits(kTable[i].ampSin, c.ampSin, "ampSin", i + 1);
    }
}

TEST_F(WaveFieldTest, ComponentsAreConsistentTravellingWaves) {
    const double pi = 3.14159265358979;
    float largest = 0.0f;
    int largestIndex = -1;
    for (int i = 0; i < WaveComponents.count; ++i) {
        const WaveComponent& c = WaveComponents.components[i];
        EXPECT_GE(c.direction, pi / 2 - 1e-6);
        EXPECT_LT(c.direction, 5 * pi / 2 + 1e-6);
        EXPECT_NEAR(0.5 * std::cos(c.direction), c.cxHalf, 1e-6);
        EXPECT_NEAR(0.5 * std::sin(c.direction), c.syHalf, 1e-6);
        EXPECT_NEAR(2 * pi / c.waveNumber, c.wavelength, 1e-4 * c.wavelength);
        EXPECT_NEAR(std::sqrt(9.81 * c.waveNumber), c.angularFrequency, 1e-5);
        EXPECT_NEAR(c.angularFrequency / (2 * pi), c.frequency, 1e-6);
        EXPECT_NEAR(1.0 / c.frequency, c.period, 1e-4 * c.period);
        EXPECT_GE(std::fabs(c.ampCos), 0.0001f);
        const float a = std::hypot(c.ampCos, c.ampSin);
        if (a > largest) {
            largest = a;
            largestIndex = i;
        }
    }
    EXPECT_EQ(14, largestIndex);  // the fifteenth component
    EXPECT_NEAR(0.668, largest, 0.0005);
}

TEST_F(WaveFieldTest, HeightsFollowTheTickCount) {
    UpdateWaveFieldAt(0);
    EXPECT_NEAR(-0.2294, WaveHeights[WaveIndex(0, 0)], 0.0001);
    UpdateWaveFieldAt(1000);
    EXPECT_NEAR(0.3549, WaveHeights[WaveIndex(0, 0)], 0.0001);

    // Away from the corner too (row 37, column 101, stored at row*128 + column).
    EXPECT_NEAR(-0.024688, WaveHeights[WaveIndex(37, 101)], 5e-5);
}

// The sea every build must draw: heights at four points and two normals at
// five tick counts, up to the largest. The same numbers hold natively and in
// the Windows builds under Wine.
struct PinnedSea {
    uint32_t tick;
    float heights[4];  // (0, 0), (37, 101), (127, 127), (64, 5)
    float normals[4];  // x and z at (37, 101), x and z at (127, 0)
};
const PinnedSea kPinnedSea[] = {
    {0u, {-0.2294246f, -0.2893042f, -0.1050028f, 0.4644372f}, {-0.2276566f, -0.3362499f, 0.8300276f, -1.0850018f}},
    {1000u, {0.3549491f, -0.0246884f, 0.2337366f, -0.4219517f}, {0.2902851f, 0.0361708f, -0.7029285f, 0.4539700f}},
    {123456u, {-0.7698944f, -0.0367452f, -0.4437979f, -0.0337764f}, {-0.3838528f, 0.3856708f, 0.5090391f, -0.6166366f}},
    {2147483647u, {0.7136618f, -0.4866876f, 0.1677393f, -0.4294228f}, {0.0705506f, 0.0409746f, -0.3097839f, 0.5246146f}},
    {4294967295u, {-0.1268594f, 0.3043387f, 0.3969154f, 0.2731621f}, {0.1156064f, -0.1612364f, -1.0195484f, 0.2992343f}},
};

TEST_F(WaveFieldTest, EveryBuildDrawsTheSameSea) {
    for (const PinnedSea& p : kPinnedSea) {
        UpdateWaveFieldAt(p.tick);
        const float heights[4] = {WaveHeights[WaveIndex(0, 0)], WaveHeights[WaveIndex(37, 101)],
                                  WaveHeights[WaveIndex(127, 127)], WaveHeights[WaveIndex(64, 5)]};
        const float normals[4] = {WaveNormals[WaveIndex(37, 101) * 3], WaveNormals[WaveIndex(37, 101) * 3 + 2],
                                  WaveNormals[WaveIndex(127, 0) * 3], WaveNormals[WaveIndex(127, 0) * 3 + 2]};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(p.heights[i], heights[i], 1e-6) << "height " << i << " at tick " << p.tick;
            EXPECT_NEAR(p.normals[i], normals[i], 1e-6) << "normal " << i << " at tick " << p.tick;
        }
    }
}

// The field is summed by angle addition; the plain sum of sines is the
// oracle, at every grid point.
TEST_F(WaveFieldTest, AngleAdditionAgreesWithThePlainSum) {
    PlainWaveField plain;
    for (const PinnedSea& p : kPinnedSea) {
        plain.EvaluateAt(p.tick);
        UpdateWaveFieldAt(p.tick);
        float worstHeight = 0.0f, worstNormal = 0.0f;
        for (int i = 0; i < kWaveGridSize * kWaveGridSize; ++i) {
            worstHeight = std::max(worstHeight, std::fabs(plain.heights[i] - WaveHeights[i]));
            for (int k = 0; k < 3; ++k)
                worstNormal = std::max(worstNormal, std::fabs(plain.normals[i * 3 + k] - WaveNormals[i * 3 + k]));
        }
        EXPECT_LE(worstHeight, 2.5e-7f) << "tick " << p.tick;
        EXPECT_LE(worstNormal, 3e-7f) << "tick " << p.tick;
    }
}

TEST_F(WaveFieldTest, TheInjectedClockDrivesUpdate) {
    SetWaveClock([]() -> uint32_t { return 1000; });
    UpdateWaveField();
    EXPECT_NEAR(0.3549, WaveHeights[0], 0.0001);

    // The same tick gives the same surface; another tick another one.
    std::vector<float> first(WaveHeights, WaveHeights + 128 * 128);
    UpdateWaveField();
    EXPECT_EQ(0, std::memcmp(first.data(), WaveHeights, first.size() * sizeof(float)));
    SetWaveClock([]() -> uint32_t { return 1016; });
    UpdateWaveField();
    EXPECT_NE(0, std::memcmp(first.data(), WaveHeights, first.size() * sizeof(float)));

    // The tick count wraps like GetTickCount: its full 32-bit range is used.
    SetWaveClock([]() -> uint32_t { return 0xFFFFFFFFu; });
    UpdateWaveField();
    for (int i = 0; i < 128 * 128; ++i) ASSERT_TRUE(std::isfinite(WaveHeights[i]));
}

TEST_F(WaveFieldTest, NormalsWrapAroundTheEdges) {
    UpdateWaveFieldAt(4321);
    auto h = [](int r, int c) { return WaveHeights[WaveIndex(r, c)]; };
    auto n = [](int r, int c, int k) { return WaveNormals[WaveIndex(r, c) * 3 + k]; };
    struct Point {
        int r, c;
    };
    for (Point p : {Point{0, 0}, Point{127, 127}, Point{0, 127}, Point{127, 0}, Point{64, 0}, Point{0, 64}}) {
        const int left = (p.c + 127) % 128, right = (p.c + 1) % 128;
        const int down = (p.r + 127) % 128, up = (p.r + 1) % 128;
        EXPECT_FLOAT_EQ(h(p.r, right) - h(p.r, left), n(p.r, p.c, 0)) << p.r << "," << p.c;
        EXPECT_FLOAT_EQ(4.0f, n(p.r, p.c, 1));
        EXPECT_FLOAT_EQ(h(up, p.c) - h(down, p.c), n(p.r, p.c, 2)) << p.r << "," << p.c;
    }
    // Column 0 uses columns 127 and 1, row 127 uses rows 126 and 0.
    EXPECT_FLOAT_EQ(h(5, 1) - h(5, 127), n(5, 0, 0));
    EXPECT_FLOAT_EQ(h(0, 9) - h(126, 9), n(127, 9, 2));
}

TEST_F(WaveFieldTest, InitSetsNormalsUpAndAFlatFieldKeepsThem) {
    for (int i = 0; i < 128 * 128; ++i) {
        ASSERT_EQ(0.0f, WaveNormals[i * 3]);
        ASSERT_EQ(1.0f, WaveNormals[i * 3 + 1]);
        ASSERT_EQ(0.0f, WaveNormals[i * 3 + 2]);
    }
    // With every amplitude zero the field is flat: normals are (0, 4, 0).
    WaveComponentTable saved = WaveComponents;
    for (int i = 0; i < WaveComponents.count; ++i) WaveComponents.components[i].ampCos = 0.0f;
    UpdateWaveFieldAt(777);
    WaveComponents = saved;
    for (int i = 0; i < 128 * 128; ++i) {
        ASSERT_EQ(0.0f, WaveHeights[i]);
        ASSERT_EQ(0.0f, WaveNormals[i * 3]);
        ASSERT_EQ(4.0f, WaveNormals[i * 3 + 1]);
        ASSERT_EQ(0.0f, WaveNormals[i * 3 + 2]);
    }
}

TEST(WaveSpectrumTest, GammaApproxBranches) {
    // The left Riemann sum of t^(x-1) e^-t over (0, 5) in steps of 0.05,
    // worked out on its own in double precision (and for x = 1 the first
    // step, 0^0 = 1).
    const struct {
        float x;
        double gamma;
    } known[] = {{1.0f, 1.0183005}, {1.5f, 0.86708375}, {2.0f, 0.95851615}, {4.0f, 4.3887183}, {10.77f, 34339.676}};
    for (const auto& k : known) EXPECT_NEAR(k.gamma, GammaApprox(k.x), 2e-6 * k.gamma) << k.x;
    EXPECT_TRUE(std::isinf(GammaApprox(0.5f)));     // 0 to a negative power: +infinity
    EXPECT_GT(GammaApprox(0.5f), 0.0f);
    EXPECT_TRUE(std::isinf(GammaApprox(0.9999f)));
    EXPECT_FALSE(std::isinf(GammaApprox(1.0f)));    // 0^0 = 1
}

TEST(WaveSpectrumTest, SpreadingBranchesAndLowFrequencies) {
    SeedWaveRandom(1);
    InitWaveField();  // sets the peak frequency
    const float fp = PeakFrequency;
    EXPECT_NEAR(0.318825, fp, 1e-6);
    const double pi = 3.14159265358979;
    const float along = static_cast<float>(2 * pi);  // cos(theta / 2)^2 = 1

    // Gamma(s + 1) / (2 sqrt(pi) Gamma(s + 0.5)) with the sum above, worked
    // out on its own: f exactly f_p takes the 9.77 branch, just below it
    // s = 6.97 (f / f_p)^5.
    EXPECT_NEAR(0.58395412, DirectionalSpreading(fp, along), 1e-6);
    EXPECT_NEAR(0.56017449, DirectionalSpreading(fp * 0.999f, along), 1e-6);

    // Below about 0.188 Hz, s < 0.5: gamma(s + 0.5) is +infinity and the amplitude is 0.
    EXPECT_EQ(0.0f, DirectionalSpreading(0.187f, along));
    EXPECT_EQ(0.0f, WaveAmplitude(0.187f, along, 0.2f));
    EXPECT_GT(DirectionalSpreading(0.189f, along), 0.0f);

    // The wind blows along theta = 0 (mod 2 pi): nothing travels against it.
    EXPECT_NEAR(0.0f, DirectionalSpreading(fp, static_cast<float>(pi)), 1e-6);
    EXPECT_GT(WaveSpectrum(fp), WaveSpectrum(2 * fp));
    EXPECT_GT(WaveSpectrum(fp), WaveSpectrum(0.5f * fp));
}

TEST(WaveRandomTest, LinearCongruentialSequence) {
    SeedWaveRandom(1);
    EXPECT_EQ(41u, WaveRandom());
    EXPECT_EQ(18467u, WaveRandom());
    EXPECT_EQ(6334u, WaveRandom());
    SeedWaveRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) ASSERT_LE(WaveRandom(), 32767u);
}

TEST(WaveFieldLifetime, FreeIsSafeTwiceAndUpdateWithoutArraysDoesNothing) {
    FreeWaveField();
    FreeWaveField();
    EXPECT_EQ(nullptr, WaveHeights);
    EXPECT_EQ(nullptr, WaveNormals);
    UpdateWaveFieldAt(0);  // no arrays: nothing to do, no crash
    ASSERT_TRUE(AllocateWaveField());
    EXPECT_NE(nullptr, WaveHeights);
    FreeWaveField();
    EXPECT_EQ(nullptr, WaveHeights);
}
