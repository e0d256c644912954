#include "WaveField.h"

#include <cmath>
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

void UpdateWaveFieldAt(uint32_t tickMs) {
    if (WaveHeights == nullptr || WaveNormals == nullptr) return;
    const double t = static_cast<double>(tickMs) * kTimeFactor;
    const WaveComponentTable& table = WaveComponents;
    const int count = table.count;

    for (int b = 0; b < kWaveGridSize; ++b) {
        float* row = WaveHeights + b * kWaveGridSize;
        for (int j = 0; j < kWaveGridSize; ++j) {
            float sum = 0.0f;
            for (int n = 0; n < count; ++n) {
                const WaveComponent& c = table.components[n];
                const double position = static_cast<double>(c.cxHalf) * j + static_cast<double>(c.syHalf) * b;
                const double phase =
                    (position + t) * c.frequency * c.angularFrequency + static_cast<double>(c.ampSin);
                sum = static_cast<float>(sum + static_cast<double>(c.ampCos) * std::sin(phase));
            }
            row[j] = sum;
        }
    }

    const int mask = kWaveGridSize - 1;
    for (int r = 0; r < kWaveGridSize; ++r) {
        const float* here = WaveHeights + r * kWaveGridSize;
        const float* above = WaveHeights + ((r + 1) & mask) * kWaveGridSize;
        const float* below = WaveHeights + ((r - 1) & mask) * kWaveGridSize;
        for (int j = 0; j < kWaveGridSize; ++j) {
            float* normal = WaveNormals + (r * kWaveGridSize + j) * 3;
            normal[0] = here[(j + 1) & mask] - here[(j - 1) & mask];
            normal[1] = kNormalHeight;
            normal[2] = above[j] - below[j];
        }
    }
}

void FreeWaveField() {
    delete[] WaveHeights;
    WaveHeights = nullptr;
    delete[] WaveNormals;
    WaveNormals = nullptr;
}
