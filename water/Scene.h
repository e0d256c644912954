// One window's scene: its part of the screen picture as a backdrop, the lit
// sheet of water with the tiled sunlight pattern, and the additive rippling
// reflection. Only GL and GLU calls: it runs in the renderer's windows and in
// an off-screen context for the tests alike. The sea itself is shared: every
// window draws the one Sea, evaluated once a frame.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DIB.h"
#include "ScreenLayout.h"
#include "Sea.h"
#include "SceneView.h"
#include "TEXTURE.h"

// The pictures the saver writes: by default "C:\Vey1.bmp" (the screen) and
// "C:\Vey2.bmp" (the surface pattern); the renderer takes others from its
// command line, and tests point elsewhere. The screen picture is read twice,
// once for the backdrop and once for the reflection, as their own files: a
// missing one is reported for each.
struct ScenePictures {
    std::unique_ptr<RGBImage> backdrop;
    std::unique_ptr<RGBImage> surface;
    std::unique_ptr<RGBImage> reflection;
};
ScenePictures ReadScenePictures(const std::string& backdropPath, const std::string& surfacePath);

// How one window shows the scene.
struct SceneLook {
    PixelRect picture;             // its part of the screen picture; empty: the whole picture
    double aspect = kViewAspect;   // of its view (the designed look: 1.33 whatever the window)
    bool exactBackdrop = false;    // the backdrop pixel for pixel; else fitted to the window
};

// How a frame is drawn. The renderer keeps the defaults; tests and
// benchmarks put older ways back (immediate mode, the whole backdrop) to
// compare with.
struct SceneDrawing {
    void (*drawMesh)(bool surfacePass) = nullptr;  // nullptr: the sea's vertex arrays
    bool wholeBackdrop = false;                    // false: only where the water may not cover it
};

class Scene {
public:
    explicit Scene(const Sea& sea) : sea_(sea) {}

    // The GL state and the scene, once, in the window's context with its
    // viewport set; always true.
    bool InitGLState(const ScenePictures& pictures, const SceneLook& look = SceneLook());
    // The sea as it is now (the renderer updates it once a frame for all windows).
    void DrawFrame();
    void ResizeViewport(int width, int height);

    Texture BackdropTexture;
    Texture SurfaceTexture;
    Texture ReflectionTexture;
    // The backdrop shown pixel for pixel: the picture in tiles of powers of two.
    std::vector<Texture> BackdropTiles;
    SceneDrawing drawing;

private:
    void InitScene(const ScenePictures& pictures);
    void LoadBackdropTiles(const RGBImage& picture, const PixelRect& part);
    void BeginFrame();
    void DrawBackdropPass();
    void SetUpCamera();
    void SetUpSurfacePass();
    void SetUpReflectionPass();
    void EndReflectionPass();
    void DrawSheet(bool surfacePass);
    void DrawStrips(bool surfacePass, int first, int end);

    const Sea& sea_;
    SceneLook look_;
    std::vector<TextureTile> tiles_;
    std::vector<SheetCopy> copies_;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
};
