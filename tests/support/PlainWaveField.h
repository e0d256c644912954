// The wave field evaluated the plain way, one sine per component and grid
// point, summed in table order: the oracle the fast evaluation is checked
// against (and the "before" of the benchmarks).
#pragma once

#include <cmath>
#include <vector>

#include "WaveField.h"

struct PlainWaveField {
    std::vector<float> heights = std::vector<float>(kWaveGridSize * kWaveGridSize);
    std::vector<float> normals = std::vector<float>(kWaveGridSize * kWaveGridSize * 3);

    void EvaluateAt(uint32_t tickMs) {
        const double t = static_cast<double>(tickMs) * 0.002;
        const WaveComponentTable& table = WaveComponents;
        for (int b = 0; b < kWaveGridSize; ++b) {
            for (int j = 0; j < kWaveGridSize; ++j) {
                float sum = 0.0f;
                for (int n = 0; n < table.count; ++n) {
                    const WaveComponent& c = table.components[n];
                    const double position = static_cast<double>(c.cxHalf) * j + static_cast<double>(c.syHalf) * b;
                    const double phase =
                        (position + t) * c.frequency * c.angularFrequency + static_cast<double>(c.ampSin);
                    sum = static_cast<float>(sum + static_cast<double>(c.ampCos) * std::sin(phase));
                }
                heights[WaveIndex(b, j)] = sum;
            }
        }
        const int mask = kWaveGridSize - 1;
        for (int r = 0; r < kWaveGridSize; ++r) {
            for (int j = 0; j < kWaveGridSize; ++j) {
                float* normal = &normals[WaveIndex(r, j) * 3];
                normal[0] = heights[WaveIndex(r, (j + 1) & mask)] - heights[WaveIndex(r, (j - 1) & mask)];
                normal[1] = 4.0f;
                normal[2] = heights[WaveIndex((r + 1) & mask, j)] - heights[WaveIndex((r - 1) & mask, j)];
            }
        }
    }

    // Copies the oracle's field into the renderer's arrays (for drawing it).
    void CopyToWaveField() const {
        std::copy(heights.begin(), heights.end(), WaveHeights);
        std::copy(normals.begin(), normals.end(), WaveNormals);
    }
};

// The renderer's arrays filled the plain way at the given tick: the field a
// frame drawn the former way shows.
inline void FillWaveFieldPlainly(uint32_t tickMs) {
    static PlainWaveField plain;
    plain.EvaluateAt(tickMs);
    plain.CopyToWaveField();
}
