#include "Scene.h"

#include "Contract.h"
#include "GLHeaders.h"
#include "WaveField.h"

Texture BackdropTexture;
Texture SurfaceTexture;
Texture ReflectionTexture;

std::string BackdropPicturePath = contract::kScreenCopyFile;
std::string SurfacePicturePath = contract::kLightPatternFile;

namespace {

constexpr int N = kWaveGridSize;

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
const GLfloat kSurfaceTextureStep = 0.3f;

const GLfloat kPlaneS[] = {1.0f / 128, 0.0f, 0.0f, 0.0f};
const GLfloat kPlaneT[] = {0.0f, 1.0f / 128, 1.0f / 128, 0.0f};
const GLfloat kPlaneR[] = {0.0f, 1.0f / 128, 0.0f, 0.0f};
const GLfloat kPlaneQ[] = {0.0f, 1.0f / 128, 0.0f, 1.0f};

inline const GLfloat* NormalAt(int row, int column) { return WaveNormals + WaveIndex(row, column) * 3; }
inline GLfloat HeightAt(int row, int column) { return WaveHeights[WaveIndex(row, column)]; }

// The surface as 128 quad strips: strip i joins row i to row i + 1, the last
// one taking row 0's heights for its far edge at z = 64. The surface pass
// gives each vertex its tiled texture coordinate; the reflection pass lets
// texture generation make them.
void DrawWaterStrips(bool withTextureCoordinates) {
    for (int i = 0; i < N; ++i) {
        const int next = (i + 1) % N;
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j < N; ++j) {
            const GLfloat x = static_cast<GLfloat>(j - 64);
            glNormal3fv(NormalAt(i, j));
            if (withTextureCoordinates) glTexCoord2f(kSurfaceTextureStep * j, kSurfaceTextureStep * i);
            glVertex3f(x, HeightAt(i, j), static_cast<GLfloat>(i - 64));
            glNormal3fv(NormalAt(next, j));
            if (withTextureCoordinates) glTexCoord2f(kSurfaceTextureStep * j, kSurfaceTextureStep * (i + 1));
            glVertex3f(x, HeightAt(next, j), static_cast<GLfloat>(i - 63));
        }
        glEnd();
    }
}

void SetTextureGeneration(bool on) {
    const GLenum coordinates[] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};
    for (GLenum c : coordinates) on ? glEnable(c) : glDisable(c);
}

}  // namespace

bool InitGLState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.2f, 0.2f, 0.3f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    InitScene();
    return true;
}

void InitScene() {
    AllocateWaveField();

    // A picture that cannot be read has been reported by the reader; its
    // texture stays without an image and the scene goes on.
    BackdropTexture.LoadBitmapFile(BackdropPicturePath);
    SurfaceTexture.LoadBitmapFile(SurfacePicturePath);
    ReflectionTexture.LoadBitmapFile(BackdropPicturePath);

    InitWaveField();

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

void DrawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // The backdrop: the screen picture over the whole viewport. The t range
    // -1 ... 0 with repeat wrapping shows it upright.
    glEnable(GL_TEXTURE_2D);
    BackdropTexture.Bind();
    glDisable(GL_DEPTH_TEST);
    glColor3ub(255, 255, 255);
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

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    // Just above the water, looking along -x and slightly down.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 1.33, 0.1, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(1.0, 0.125, 0.0, 0.0, 0.04, 0.0, 0.0, 1.0, 0.0);

    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_POLYGON_SMOOTH);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);

    UpdateWaveField();
    if (WaveHeights == nullptr || WaveNormals == nullptr) {
        glDisable(GL_LIGHTING);
        return;  // no memory for the field: the backdrop alone
    }

    // Surface pass: the lit mesh with the tiled pattern.
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glScalef(2.0f, 1.0f, 2.0f);
    glScalef(kMeshScale, kMeshScale, kMeshScale);
    glColor3ub(120, 200, 255);
    glDepthFunc(GL_LEQUAL);
    SurfaceTexture.Bind();
    DrawWaterStrips(true);

    // Reflection pass: the screen picture projected onto the same surface,
    // flipped and shifted by the wave heights, added on top.
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
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthFunc(GL_EQUAL);
    glDisable(GL_LIGHTING);
    DrawWaterStrips(false);

    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    SetTextureGeneration(false);
    glPopMatrix();
    glDisable(GL_BLEND);
}

void ResizeViewport(int width, int height) {
    if (height == 0) height = 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
