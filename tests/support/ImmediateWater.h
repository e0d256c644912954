// The water mesh drawn the first way, in immediate mode: one glBegin and
// 2 x 128 normals, texture coordinates and vertices per strip. The oracle the
// vertex arrays are checked against, and the "before" of the benchmarks.
#pragma once

#include "GLHeaders.h"
#include "Scene.h"
#include "WaveField.h"

inline void DrawWaterImmediate(bool withTextureCoordinates) {
    constexpr int N = kWaveGridSize;
    for (int i = 0; i < N; ++i) {
        const int next = (i + 1) % N;
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j < N; ++j) {
            const GLfloat x = static_cast<GLfloat>(j - 64);
            glNormal3fv(WaveNormals + WaveIndex(i, j) * 3);
            if (withTextureCoordinates) glTexCoord2f(0.3f * j, 0.3f * i);
            glVertex3f(x, WaveHeights[WaveIndex(i, j)], static_cast<GLfloat>(i - 64));
            glNormal3fv(WaveNormals + WaveIndex(next, j) * 3);
            if (withTextureCoordinates) glTexCoord2f(0.3f * j, 0.3f * (i + 1));
            glVertex3f(x, WaveHeights[WaveIndex(next, j)], static_cast<GLfloat>(i - 63));
        }
        glEnd();
    }
}

// Frames drawn the way they were: the whole backdrop, the mesh in immediate
// mode (and, where given, another wave field), for as long as it lives.
class FormerDrawing {
public:
    FormerDrawing(Scene& scene, Sea& sea, void (*updateField)() = nullptr) : scene_(scene), sea_(sea) {
        sea.updateField = updateField;
        sea.fillArrays = false;
        scene.drawing.drawMesh = DrawWaterImmediate;
        scene.drawing.wholeBackdrop = true;
    }
    ~FormerDrawing() {
        sea_.updateField = nullptr;
        sea_.fillArrays = true;
        scene_.drawing = SceneDrawing();
    }
    FormerDrawing(const FormerDrawing&) = delete;
    FormerDrawing& operator=(const FormerDrawing&) = delete;

private:
    Scene& scene_;
    Sea& sea_;
};
