// The scene: the screen picture as a backdrop, the lit sheet of water with
// the tiled sunlight pattern, and the additive rippling reflection. Only GL
// and GLU calls: it runs in the renderer's window and in an off-screen
// context for the tests alike.
#pragma once

#include <string>

#include "TEXTURE.h"

extern Texture BackdropTexture;
extern Texture SurfaceTexture;
extern Texture ReflectionTexture;

// The pictures the saver writes: by default "C:\Vey1.bmp" (the screen) and
// "C:\Vey2.bmp" (the surface pattern); the renderer takes others from its
// command line, and tests point the scene elsewhere.
extern std::string BackdropPicturePath;
extern std::string SurfacePicturePath;

// How a frame is drawn. The renderer keeps the defaults; tests and
// benchmarks put older ways back (immediate mode, the whole backdrop, the
// plain sum of sines) to compare with.
struct SceneDrawing {
    void (*updateField)() = nullptr;           // nullptr: UpdateWaveField
    void (*drawMesh)(bool surfacePass) = nullptr;  // nullptr: the vertex arrays
    bool wholeBackdrop = false;                // false: only where the water may not cover it
};
extern SceneDrawing SceneDrawingOptions;

bool InitGLState();
void InitScene();
void DrawFrame();
void ResizeViewport(int width, int height);
