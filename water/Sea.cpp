#include "Sea.h"

#include <algorithm>
#include <new>

namespace {

constexpr int N = kWaveGridSize;
constexpr float kSurfaceTextureStep = 0.3f;  // the sunlight pattern repeats 38.4 times along the sheet

}  // namespace

Sea::~Sea() { FreeWaveField(); }

bool Sea::Init() {
    ready_ = false;
    if (!AllocateWaveField()) return false;
    InitWaveField();
    try {
        positions_.assign(kRows * N * 3, 0.0f);
        normals_.assign(kRows * N * 3, 0.0f);
        textureCoordinates_.assign(kRows * N * 2, 0.0f);
        indices_.assign(N * kStripLength, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int row = 0; row < kRows; ++row) {
        for (int j = 0; j < N; ++j) {
            const int v = row * N + j;
            positions_[v * 3 + 0] = static_cast<float>(j - 64);
            positions_[v * 3 + 2] = static_cast<float>(row - 64);
            textureCoordinates_[v * 2 + 0] = kSurfaceTextureStep * j;
            textureCoordinates_[v * 2 + 1] = kSurfaceTextureStep * row;
        }
    }
    for (int i = 0; i < N; ++i) {
        uint16_t* strip = &indices_[static_cast<size_t>(i) * kStripLength];
        for (int j = 0; j < N; ++j) {
            strip[2 * j] = static_cast<uint16_t>(i * N + j);
            strip[2 * j + 1] = static_cast<uint16_t>((i + 1) * N + j);
        }
    }
    ready_ = true;
    return true;
}

void Sea::Update() {
    if (WaveHeights == nullptr || WaveNormals == nullptr) return;
    if (updateField != nullptr) {
        updateField();
    } else {
        UpdateWaveField();
    }
    if (!ready_ || !fillArrays) return;
    for (int row = 0; row < kRows; ++row) {
        const int source = row % N;
        for (int j = 0; j < N; ++j) positions_[(row * N + j) * 3 + 1] = WaveHeights[WaveIndex(source, j)];
        const float* normals = WaveNormals + WaveIndex(source, 0) * 3;
        std::copy(normals, normals + N * 3, &normals_[static_cast<size_t>(row) * N * 3]);
    }
}
