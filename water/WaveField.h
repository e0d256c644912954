// The sixteen-wave sea: a 128 x 128 height field evaluated every frame as the
// sum of travelling sine waves drawn once from an ocean wave spectrum.
// Portable: no Windows header, so it is tested natively as well as under Wine.
#pragma once

#include <cstdint>

constexpr int kWaveGridSize = 128;        // points per row and rows
constexpr int kWaveComponentCapacity = 16;

struct WaveComponent {
    float direction;   // theta, radians, in [pi/2, 5pi/2)
    float cxHalf;      // 0.5 cos(theta)
    float syHalf;      // 0.5 sin(theta)
    float wavelength;  // 2 pi / k
    float waveNumber;  // k
    float angularFrequency;  // omega = sqrt(g k)
    float frequency;   // f = omega / 2 pi, hertz
    float period;      // 1 / f
    float ampCos;      // A cos(phi)
    float ampSin;      // A sin(phi)
};

struct WaveComponentTable {
    WaveComponent components[kWaveComponentCapacity];
    int32_t count;
    int32_t attempts;  // attempts InitWaveField needed to fill the table
};

// Process-wide wave state. The heights (row*128 + column) and the normals
// (three floats each, same order) are allocated by the scene setup with
// AllocateWaveField and released by FreeWaveField.
extern float* WaveHeights;
extern float* WaveNormals;
extern WaveComponentTable WaveComponents;
extern float PeakFrequency;

extern const float Gravity;
extern const float WindSpeed;

// The tick count in milliseconds that drives the animation. By default the
// system's (GetTickCount on Windows); tests and the off-screen renderer set
// their own.
using WaveClock = uint32_t (*)();
void SetWaveClock(WaveClock clock);  // nullptr: back to the system clock
uint32_t SystemTickCount();          // platform file

// The random number generator the components are drawn with: a linear
// congruential generator starting from state 1, never re-seeded by the
// renderer itself.
uint32_t WaveRandom();
void SeedWaveRandom(uint32_t state);
uint32_t WaveRandomState();

float GammaApprox(float x);
float WaveSpectrum(float f);
float DirectionalSpreading(float f, float theta);
float DirectionalSpectrum(float f, float theta);
float WaveAmplitude(float f, float theta, float k);

bool AllocateWaveField();  // uninitialised arrays; false when memory is short
void InitWaveField();
void UpdateWaveField();                   // at the clock's tick count
void UpdateWaveFieldAt(uint32_t tickMs);  // at a given tick count
void FreeWaveField();

// No height of the current component table is larger in magnitude: the sum
// of the sines' amplitudes |ampCos|, with room for the float sums.
double WaveHeightBound();

inline int WaveIndex(int row, int column) { return row * kWaveGridSize + column; }
