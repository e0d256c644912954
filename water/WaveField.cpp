#include "WaveField.h"

#include <cmath>
#include <cstring>
#include <new>

float* WaveHeights = nullptr;
float* WaveNormals = nullptr;
WaveComponentTable WaveComponents = {};
float PeakFrequency = 0.0f;

const float Gravity = 9.81f;
const float WindSpeed = 4.0f;

namespace {

const float kGravitySquared = Gravity * Gravity;  // computed once, in single precision
const float kWindDirection = 0.0f;
const float kAlpha = 0.0081f;
const double kTimeFactor = 0.002;
const float kAmplitudeThreshold = 0.0001f;
const float kNormalHeight = 4.0f;
const float kPi = 3.14159265358979f;
const float kTwoPi = 6.28318530717959f;
const float kPiSquared = 9.869605f;
const float kInverseTwoPi = 0.15915494f;
const float kPhaseStep = 0.0001917476f;  // 2 pi / 32768

uint32_t g_randomState = 1;
WaveClock g_clock = nullptr;

}  // namespace

void SetWaveClock(WaveClock clock) { g_clock = clock; }

uint32_t WaveRandom() {
    g_randomState = g_randomState * 214013u + 2531011u;
    return (g_randomState >> 16) & 0x7FFFu;
}

void SeedWaveRandom(uint32_t state) { g_randomState = state; }
uint32_t WaveRandomState() { return g_randomState; }

float GammaApprox(float x) {
    const float e = x - 1.0f;
    float sum = 0.0f;
    for (int n = 0; n < 100; ++n) {
        const double u = 0.05 * n;
        double power;
        if (n == 0) {
            if (e > 0.0f) {
                power = 0.0;
            } else if (e == 0.0f) {
                power = 1.0;
            } else {
                return INFINITY;  // 0 to a negative power: the sum is +infinity
            }
        } else {
            power = std::pow(u, static_cast<double>(e));
        }
        sum = static_cast<float>(sum + power * std::exp(-u) * 0.05);
    }
    return sum;
}

float WaveSpectrum(float f) {
    const double fd = f;
    const double twoPi4 = std::pow(static_cast<double>(kTwoPi), 4.0);
    const double level = kAlpha * static_cast<double>(kGravitySquared) / (twoPi4 * std::pow(fd, 5.0));
    return static_cast<float>(level * std::exp(-1.25 * std::pow(fd / PeakFrequency, -4.0)));
}

float DirectionalSpreading(float f, float theta) {
    const double h = std::cos(theta / 2.0);
    const float h2 = static_cast<float>(h * h);
    float s;
    if (f < PeakFrequency) {
        s = static_cast<float>(6.97 * std::pow(static_cast<double>(f) / PeakFrequency, 5.0));
    } else {
        s = static_cast<float>(9.77 * std::pow(static_cast<double>(f) / PeakFrequency, -2.5));
    }
    const double denominator = 2.0 * std::sqrt(static_cast<double>(kPi)) * GammaApprox(s + 0.5f);
    if (std::isinf(denominator)) return 0.0f;
    return static_cast<float>(GammaApprox(s + 1.0f) * std::pow(static_cast<double>(h2), static_cast<double>(s)) /
                              denominator);
}

float DirectionalSpectrum(float f, float theta) {
    const float spreading = DirectionalSpreading(f, theta);
    return static_cast<float>(static_cast<double>(WaveSpectrum(f)) * spreading);
}

float WaveAmplitude(float f, float theta, float k) {
    const double energy = static_cast<double>(DirectionalSpectrum(f, theta)) * Gravity * kPiSquared;
    return static_cast<float>(std::sqrt(energy / (10.0 * f * k)));
}

bool AllocateWaveField() {
    FreeWaveField();
    const int points = kWaveGridSize * kWaveGridSize;
    WaveHeights = new (std::nothrow) float[points];
    WaveNormals = new (std::nothrow) float[points * 3];
    if (WaveHeights == nullptr || WaveNormals == nullptr) {
        FreeWaveField();
        return false;
    }
    return true;
}

void InitWaveField() {
    PeakFrequency = 0.13f * Gravity / WindSpeed;
    WaveComponentTable& table = WaveComponents;
    table.count = 0;
    table.attempts = 0;
    while (table.count < kWaveComponentCapacity) {
        ++table.attempts;
        WaveComponent& c = table.components[table.count];

        const float v = static_cast<float>(WaveRandom()) / 32768.0f + PeakFrequency - 0.5f;
        if (v <= 0.0f) continue;

        const float omega0 = kTwoPi * v;
        float k = omega0 * omega0 / Gravity;
        const float lambda = kTwoPi / k;
        k = kTwoPi / lambda;
        const float omega = std::sqrt(Gravity * k);
        const float f = omega * kInverseTwoPi;
        c.wavelength = lambda;
        c.waveNumber = k;
        c.angularFrequency = omega;
        c.frequency = f;
        c.period = 1.0f / f;

        const float theta = (static_cast<float>(WaveRandom()) / 16384.0f + 0.5f) * kPi;
        c.direction = theta;
        c.cxHalf = 0.5f * std::cos(theta);
        c.syHalf = 0.5f * std::sin(theta);

        const float phi = static_cast<float>(WaveRandom()) * kPhaseStep;
        const float amplitude = WaveAmplitude(c.frequency, theta - kWindDirection, c.waveNumber);
        c.ampCos = amplitude * std::cos(phi);
        c.ampSin = amplitude * std::sin(phi);

        if (std::fabs(c.ampCos) >= kAmplitudeThreshold) ++table.count;
    }
    if (WaveNormals != nullptr) {
        for (int i = 0; i < kWaveGridSize * kWaveGridSize; ++i) {
            WaveNormals[i * 3 + 0] = 0.0f;
            WaveNormals[i * 3 + 1] = 1.0f;
            WaveNormals[i * 3 + 2] = 0.0f;
        }
    }
}

void UpdateWaveField() { UpdateWaveFieldAt(g_clock != nullptr ? g_clock() : SystemTickCount()); }

namespace {

// The heights by angle addition. Each component's phase is linear in the
// column j and the row b:
//   phase = A_j + B_b + C(t),  A_j = cxHalf j K,  B_b = syHalf b K,
//   C(t) = t K + ampSin,       K = f omega,
// so sin(phase) = sin A_j cos(B_b + C) + cos A_j sin(B_b + C). The column
// and row sines are made once per component table; a frame takes one sine
// and cosine of C per component (in double: at large tick counts C is some
// 3.6e7 radians), combines them with the row tables, and sums
// 16 x 128 x 128 products that the compiler vectorises.
constexpr int kColumnBlock = 16;  // columns summed in registers at a time

struct AngleTables {
    WaveComponent source[kWaveComponentCapacity];  // the components the tables were made from
    int count = -1;
    double speed[kWaveComponentCapacity];  // K
    double rowSin[kWaveComponentCapacity][kWaveGridSize];
    double rowCos[kWaveComponentCapacity][kWaveGridSize];
    alignas(16) float columnSin[kWaveComponentCapacity][kWaveGridSize];
    alignas(16) float columnCos[kWaveComponentCapacity][kWaveGridSize];
};
AngleTables g_tables;

// The tables follow the component table: anything that changes it (a new
// InitWaveField, a test flattening the sea) is seen at the next frame.
void MakeAngleTablesFor(const WaveComponentTable& table) {
    const int count = table.count < 0 ? 0 : (table.count > kWaveComponentCapacity ? kWaveComponentCapacity : table.count);
    const size_t bytes = sizeof(WaveComponent) * static_cast<size_t>(count);
    if (g_tables.count == count && std::memcmp(g_tables.source, table.components, bytes) == 0) return;
    std::memcpy(g_tables.source, table.components, bytes);
    g_tables.count = count;
    for (int n = 0; n < count; ++n) {
        const WaveComponent& c = table.components[n];
        const double speed = static_cast<double>(c.frequency) * c.angularFrequency;
        g_tables.speed[n] = speed;
        for (int i = 0; i < kWaveGridSize; ++i) {
            const double column = static_cast<double>(c.cxHalf) * i * speed;
            g_tables.columnSin[n][i] = static_cast<float>(std::sin(column));
            g_tables.columnCos[n][i] = static_cast<float>(std::cos(column));
            const double row = static_cast<double>(c.syHalf) * i * speed;
            g_tables.rowSin[n][i] = std::sin(row);
            g_tables.rowCos[n][i] = std::cos(row);
        }
    }
}

}  // namespace

void UpdateWaveFieldAt(uint32_t tickMs) {
    if (WaveHeights == nullptr || WaveNormals == nullptr) return;
    MakeAngleTablesFor(WaveComponents);
    const AngleTables& tables = g_tables;
    const int count = tables.count;
    const double t = static_cast<double>(tickMs) * kTimeFactor;

    double timeSin[kWaveComponentCapacity];
    double timeCos[kWaveComponentCapacity];
    for (int n = 0; n < count; ++n) {
        const double c = t * tables.speed[n] + static_cast<double>(tables.source[n].ampSin);
        timeSin[n] = std::sin(c);
        timeCos[n] = std::cos(c);
    }

    for (int b = 0; b < kWaveGridSize; ++b) {
        // Per component, ampCos cos(B_b + C) multiplies sin A_j and
        // ampCos sin(B_b + C) multiplies cos A_j.
        float bySin[kWaveComponentCapacity];
        float byCos[kWaveComponentCapacity];
        for (int n = 0; n < count; ++n) {
            const double amplitude = tables.source[n].ampCos;
            const double s = tables.rowSin[n][b] * timeCos[n] + tables.rowCos[n][b] * timeSin[n];
            const double c = tables.rowCos[n][b] * timeCos[n] - tables.rowSin[n][b] * timeSin[n];
            bySin[n] = static_cast<float>(amplitude * c);
            byCos[n] = static_cast<float>(amplitude * s);
        }
        float* row = WaveHeights + b * kWaveGridSize;
        for (int j0 = 0; j0 < kWaveGridSize; j0 += kColumnBlock) {
            float sum[kColumnBlock] = {};
            for (int n = 0; n < count; ++n) {
                const float s = bySin[n];
                const float c = byCos[n];
                const float* columnSin = tables.columnSin[n] + j0;
                const float* columnCos = tables.columnCos[n] + j0;
                for (int j = 0; j < kColumnBlock; ++j) sum[j] += s * columnSin[j] + c * columnCos[j];
            }
            for (int j = 0; j < kColumnBlock; ++j) row[j0 + j] = sum[j];
        }
    }

    const int mask = kWaveGridSize - 1;
    for (int r = 0; r < kWaveGridSize; ++r) {
        const float* here = WaveHeights + r * kWaveGridSize;
        const float* above = WaveHeights + ((r + 1) & mask) * kWaveGridSize;
        const float* below = WaveHeights + ((r - 1) & mask) * kWaveGridSize;
        float* normal = WaveNormals + r * kWaveGridSize * 3;
        for (int j = 0; j < kWaveGridSize; ++j) {
            normal[3 * j + 0] = here[(j + 1) & mask] - here[(j - 1) & mask];
            normal[3 * j + 1] = kNormalHeight;
            normal[3 * j + 2] = above[j] - below[j];
        }
    }
}

double WaveHeightBound() {
    double bound = 0.0;
    for (int n = 0; n < WaveComponents.count && n < kWaveComponentCapacity; ++n)
        bound += std::fabs(static_cast<double>(WaveComponents.components[n].ampCos));
    return bound * (1.0 + 1e-5) + 1e-6;
}

void FreeWaveField() {
    delete[] WaveHeights;
    WaveHeights = nullptr;
    delete[] WaveNormals;
    WaveNormals = nullptr;
}
