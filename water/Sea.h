// The sheet of water every window draws: the wave field evaluated once a
// frame and laid into vertex arrays that each window's scene draws from.
// Portable: no GL and no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "WaveField.h"

// The surface as 128 quad strips: strip i joins row i to row i + 1, the last
// one taking row 0's heights for its far edge at z = 64. The vertices live in
// arrays of 129 rows of 128 (row 128 repeats row 0 at z = 64); x, z, the
// tiled texture coordinates and the strips' indices never change and are
// made once, the heights and normals are copied in every frame.
class Sea {
public:
    static constexpr int kRows = kWaveGridSize + 1;
    static constexpr int kStripLength = 2 * kWaveGridSize;

    Sea() = default;
    ~Sea();
    Sea(const Sea&) = delete;
    Sea& operator=(const Sea&) = delete;

    // The wave field's arrays and components, and the mesh. False when
    // memory is short: the windows then show the backdrop alone.
    bool Init();
    bool Ready() const { return ready_; }
    // The field at the clock's tick (or the test's field), laid into the arrays.
    void Update();

    // The field the tests put in its place (the plain sum of sines, a flat
    // sea); nullptr: UpdateWaveField.
    void (*updateField)() = nullptr;
    // Only the field, not the arrays: a test that draws in immediate mode
    // reads the field itself.
    bool fillArrays = true;

    const float* Positions() const { return positions_.data(); }            // x, y, z per vertex
    const float* Normals() const { return normals_.data(); }                // x, y, z per vertex
    const float* TextureCoordinates() const { return textureCoordinates_.data(); }  // s, t per vertex
    const uint16_t* Strip(int i) const { return &indices_[static_cast<size_t>(i) * kStripLength]; }

private:
    std::vector<float> positions_;
    std::vector<float> normals_;
    std::vector<float> textureCoordinates_;
    std::vector<uint16_t> indices_;
    bool ready_ = false;
};
