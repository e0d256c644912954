#include "Scene.h"

#include "GLHeaders.h"
#include "WaveField.h"

namespace {

const GLfloat kLightAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
const GLfloat kLightDiffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat kLightSpecular[] = {2.0f, 2.0f, 2.0f, 1.0f};
const GLfloat kLightPosition[] = {0.0f, 11.0f, -12.0f, 0.0f};  // directional, fixed to the eye
const GLfloat kModelAmbient[] = {0.0f, 0.0f, 0.0f, 0.0f};
const GLfloat kMaterialAmbient[] = {0.0f, 0.0f, 0.0f, 1.0f};
const GLfloat kMaterialSpecular[] = {3.0f, 3.0f, 3.0f, 0.0f};
const GLfloat kMaterialDiffuse[] = {2.0f, 2.0f, 2.0f, 0.0f};
const GLfloat kMaterialShininess = 100.0f;

const GLfloat kMeshScale = 0.0078125f;  // 1/128
constexpr int kSheetRows = kWaveGridSize;
// Along one sheet the sunlight pattern advances 0.3 a row: a copy beside it
// carries it on from there.
constexpr GLfloat kSurfaceTextureStep = 0.3f;

const GLfloat kPlaneS[] = {1.0f / 128, 0.0f, 0.0f, 0.0f};
const GLfloat kPlaneT[] = {0.0f, 1.0f / 128, 1.0f / 128, 0.0f};
const GLfloat kPlaneR[] = {0.0f, 1.0f / 128, 0.0f, 0.0f};
const GLfloat kPlaneQ[] = {0.0f, 1.0f / 128, 0.0f, 1.0f};

void SetTextureGeneration(bool on) {
    const GLenum coordinates[] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};
    for (GLenum c : coordinates) on ? glEnable(c) : glDisable(c);
}

// The picture's part, or the picture itself where the part is all of it.
std::unique_ptr<RGBImage> PartOf(const RGBImage& picture, const PixelRect& part) {
    if (part.Empty() || part == PixelRect{0, 0, picture.width, picture.height}) return nullptr;
    return std::make_unique<RGBImage>(CopyPart(picture, part));
}

}  // namespace

ScenePictures ReadScenePictures(const std::string& backdropPath, const std::string& surfacePath) {
    // A picture that cannot be read has been reported by the reader; its
    // texture stays without an image and the scene goes on.
    ScenePictures pictures;
    pictures.backdrop = LoadDIBImage(backdropPath);
    pictures.surface = LoadDIBImage(surfacePath);
    pictures.reflection = LoadDIBImage(backdropPath);
    return pictures;
}

bool Scene::InitGLState(const ScenePictures& pictures, const SceneLook& look) {
    look_ = look;
    copies_ = sea_.Ready() ? SheetCopies(look_.aspect, WaveHeightBound()) : std::vector<SheetCopy>();
    glShadeModel(GL_SMOOTH);
    glClearColor(0.2f, 0.2f, 0.3f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    InitScene(pictures);
    return true;
}

// The textures from this window's part of the pictures; the light and the
// material.
void Scene::InitScene(const ScenePictures& pictures) {
    // The screen picture's textures hold this window's part of it; the
    // sunlight pattern is the same everywhere.
    auto load = [this](Texture& texture, const std::unique_ptr<RGBImage>& picture, bool screenPart) {
        texture.Create();  // without an image where the picture could not be read
        if (!picture) return;
        const std::unique_ptr<RGBImage> part = screenPart ? PartOf(*picture, look_.picture) : nullptr;
        texture.LoadPicture(part ? *part : *picture);
    };
    if (look_.exactBackdrop && pictures.backdrop) {
        const PixelRect whole{0, 0, pictures.backdrop->width, pictures.backdrop->height};
        LoadBackdropTiles(*pictures.backdrop, look_.picture.Empty() ? whole : Intersect(look_.picture, whole));
    } else {
        load(BackdropTexture, pictures.backdrop, true);
    }
    load(SurfaceTexture, pictures.surface, false);
    load(ReflectionTexture, pictures.reflection, true);

    glDisable(GL_LIGHTING);  // switched on per frame for the surface pass
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);  // the model-view matrix is the identity here
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kModelAmbient);

    glMaterialfv(GL_FRONT, GL_AMBIENT, kMaterialAmbient);
    glMaterialf(GL_FRONT, GL_SHININESS, kMaterialShininess);
    glMaterialfv(GL_FRONT, GL_SPECULAR, kMaterialSpecular);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, kMaterialDiffuse);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);

    glShadeModel(GL_SMOOTH);
    glEnable(GL_NORMALIZE);
}

// The window's part of the picture in tiles no larger than this GL takes,
// each padded to powers of two and shown one texel a pixel. Each tile is
// cut straight from the whole picture: the part is never copied on its own.
void Scene::LoadBackdropTiles(const RGBImage& picture, const PixelRect& part) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    tiles_ = PlanTiles(part.Width(), part.Height(), largest);
    BackdropTiles = std::vector<Texture>(tiles_.size());
    for (size_t i = 0; i < tiles_.size(); ++i) {
        const TextureTile& tile = tiles_[i];
        const PixelRect onPicture{part.left + tile.part.left, part.top + tile.part.top, part.left + tile.part.right,
                                  part.top + tile.part.bottom};
        BackdropTiles[i].LoadUnscaled(CopyPart(picture, onPicture, tile.textureWidth, tile.textureHeight));
    }
}

void Scene::DrawFrame() {
    BeginFrame();
    DrawBackdropPass();
    SetUpCamera();
    if (!sea_.Ready()) {
        glDisable(GL_LIGHTING);
        return;  // no memory for the sea: the backdrop alone
    }
    SetUpSurfacePass();
    DrawSheet(true);
    SetUpReflectionPass();
    DrawSheet(false);
    EndReflectionPass();
}

void Scene::BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The screen picture behind the water, only above the rows the water always
// covers: the scissor box cuts the quads, so every pixel drawn is the one
// the whole picture gives.
void Scene::DrawBackdropPass() {
    const int underWater = sea_.Ready() && !drawing.wholeBackdrop && viewportHeight_ > 0
                               ? RowsAlwaysUnderWater(viewportHeight_, WaveHeightBound())
                               : 0;
    if (underWater > 0) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, underWater, viewportWidth_, viewportHeight_ - underWater);
    }
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3ub(255, 255, 255);
    if (!tiles_.empty()) {
        // Pixel for pixel: window coordinates, each tile's part at its place.
        glMatrixMode(GL_PROJECTION);
        glOrtho(0.0, viewportWidth_, 0.0, viewportHeight_, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        for (size_t i = 0; i < tiles_.size(); ++i) {
            const TextureTile& tile = tiles_[i];
            const GLfloat s = GLfloat(tile.part.Width()) / tile.textureWidth;
            const GLfloat t = GLfloat(tile.part.Height()) / tile.textureHeight;
            const GLfloat left = GLfloat(tile.part.left), right = GLfloat(tile.part.right);
            const GLfloat bottom = GLfloat(viewportHeight_ - tile.part.bottom);
            const GLfloat top = GLfloat(viewportHeight_ - tile.part.top);
            BackdropTiles[i].Bind();
            glBegin(GL_QUADS);  // the tile's first row is the part's bottom row
            glTexCoord2f(0.0f, 0.0f);
            glVertex2f(left, bottom);
            glTexCoord2f(s, 0.0f);
            glVertex2f(right, bottom);
            glTexCoord2f(s, t);
            glVertex2f(right, top);
            glTexCoord2f(0.0f, t);
            glVertex2f(left, top);
            glEnd();
        }
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    } else {
        // Fitted to the viewport. The t range -1 ... 0 with repeat wrapping
        // shows the picture upright.
        BackdropTexture.Bind();
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, -1.0f);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glTexCoord2f(1.0f, -1.0f);
        glVertex3f(1.0f, -1.0f, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(1.0f, 1.0f, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-1.0f, 1.0f, 0.0f);
        glEnd();
    }
    if (underWater > 0) glDisable(GL_SCISSOR_TEST);
}

// Just above the water, looking along -x and slightly down; the screen's
// own aspect, or 1.33 for the designed look.
void Scene::SetUpCamera() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kViewFieldOfView, look_.aspect, kViewNear, kViewFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(kViewEye[0], kViewEye[1], kViewEye[2], kViewCentre[0], kViewCentre[1], kViewCentre[2], kViewUp[0],
              kViewUp[1], kViewUp[2]);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_POLYGON_SMOOTH);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
}

// The lit mesh with the tiled pattern.
void Scene::SetUpSurfacePass() {
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glScalef(2.0f, 1.0f, 2.0f);
    glScalef(kMeshScale, kMeshScale, kMeshScale);
    glColor3ub(120, 200, 255);
    glDepthFunc(GL_LEQUAL);
    SurfaceTexture.Bind();
}

// The screen picture projected onto the same surface, flipped and shifted
// by the wave heights, added on top where the surface pass drew.
void Scene::SetUpReflectionPass() {
    ReflectionTexture.Bind();
    const GLenum coordinates[] = {GL_S, GL_T, GL_R, GL_Q};
    const GLfloat* planes[] = {kPlaneS, kPlaneT, kPlaneR, kPlaneQ};
    for (int c = 0; c < 4; ++c) {
        glTexGeni(coordinates[c], GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGenfv(coordinates[c], GL_OBJECT_PLANE, planes[c]);
    }
    SetTextureGeneration(true);
    glColor3ub(63, 63, 63);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.5f, 0.5f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthFunc(GL_EQUAL);
    glDisable(GL_LIGHTING);
}

void Scene::EndReflectionPass() {
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    SetTextureGeneration(false);
    glPopMatrix();  // the sheet's scales
    glDisable(GL_BLEND);
}

// The sheet, then the copies beside it that a wide view shows. A copy lies
// one sheet over in z; the pattern's coordinates and the reflection's plane
// are carried on to where it lies, so both run on without a seam.
void Scene::DrawSheet(bool surfacePass) {
    DrawStrips(surfacePass, 0, kSheetRows);
    for (const SheetCopy& copy : copies_) {
        const GLfloat shift = GLfloat(kSheetRows * copy.offset);
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, shift);
        if (surfacePass) {
            glMatrixMode(GL_TEXTURE);
            glPushMatrix();
            glTranslatef(0.0f, kSurfaceTextureStep * shift, 0.0f);
            glMatrixMode(GL_MODELVIEW);
        } else {
            const GLfloat plane[] = {kPlaneT[0], kPlaneT[1], kPlaneT[2], GLfloat(copy.offset)};
            glTexGenfv(GL_T, GL_OBJECT_PLANE, plane);
        }
        DrawStrips(surfacePass, copy.firstStrip, copy.endStrip);
        if (surfacePass) {
            glMatrixMode(GL_TEXTURE);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
        } else {
            glTexGenfv(GL_T, GL_OBJECT_PLANE, kPlaneT);
        }
        glPopMatrix();
    }
}

// Strips first ... end - 1 of the sea's arrays. The surface pass gives each
// vertex its texture coordinate; the reflection pass lets texture
// generation make them.
void Scene::DrawStrips(bool surfacePass, int first, int end) {
    if (drawing.drawMesh != nullptr) {
        drawing.drawMesh(surfacePass);
        return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, sea_.Positions());
    glNormalPointer(GL_FLOAT, 0, sea_.Normals());
    if (surfacePass) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, sea_.TextureCoordinates());
    }
    for (int i = first; i < end; ++i) {
        glDrawElements(GL_QUAD_STRIP, Sea::kStripLength, GL_UNSIGNED_SHORT, sea_.Strip(i));
    }
    if (surfacePass) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Scene::ResizeViewport(int width, int height) {
    if (height == 0) height = 1;
    viewportWidth_ = width;
    viewportHeight_ = height;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
