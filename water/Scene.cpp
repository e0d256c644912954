#include "Scene.h"

#include <new>
#include <vector>

#include "Contract.h"
#include "GLHeaders.h"
#include "SceneView.h"
#include "WaveField.h"

Texture BackdropTexture;
Texture SurfaceTexture;
Texture ReflectionTexture;

std::string BackdropPicturePath = contract::kScreenCopyFile;
std::string SurfacePicturePath = contract::kLightPatternFile;
SceneDrawing SceneDrawingOptions;

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

int g_viewportWidth = 0;
int g_viewportHeight = 0;

// The surface as 128 quad strips: strip i joins row i to row i + 1, the last
// one taking row 0's heights for its far edge at z = 64. The vertices live in
// arrays of 129 rows of 128 (row 128 repeats row 0 at z = 64); x, z, the
// tiled texture coordinates and the strips' indices never change and are
// made once, the heights and normals are copied in every frame. The surface
// pass gives each vertex its texture coordinate; the reflection pass lets
// texture generation make them.
constexpr int kMeshRows = N + 1;
constexpr int kStripLength = 2 * N;

struct WaterMesh {
    std::vector<GLfloat> positions;           // x, y, z per vertex
    std::vector<GLfloat> normals;             // x, y, z per vertex
    std::vector<GLfloat> textureCoordinates;  // s, t per vertex
    std::vector<GLushort> indices;            // kStripLength per strip
    bool ready() const { return !indices.empty(); }
};
WaterMesh g_mesh;

void MakeWaterMesh() {
    WaterMesh mesh;
    try {
        mesh.positions.resize(kMeshRows * N * 3);
        mesh.normals.resize(kMeshRows * N * 3);
        mesh.textureCoordinates.resize(kMeshRows * N * 2);
        mesh.indices.resize(N * kStripLength);
    } catch (const std::bad_alloc&) {
        g_mesh = WaterMesh();  // no mesh: frames show the backdrop alone
        return;
    }
    for (int row = 0; row < kMeshRows; ++row) {
        for (int j = 0; j < N; ++j) {
            const int v = row * N + j;
            mesh.positions[v * 3 + 0] = static_cast<GLfloat>(j - 64);
            mesh.positions[v * 3 + 2] = static_cast<GLfloat>(row - 64);
            mesh.textureCoordinates[v * 2 + 0] = kSurfaceTextureStep * j;
            mesh.textureCoordinates[v * 2 + 1] = kSurfaceTextureStep * row;
        }
    }
    for (int i = 0; i < N; ++i) {
        GLushort* strip = &mesh.indices[i * kStripLength];
        for (int j = 0; j < N; ++j) {
            strip[2 * j] = static_cast<GLushort>(i * N + j);
            strip[2 * j + 1] = static_cast<GLushort>((i + 1) * N + j);
        }
    }
    g_mesh = std::move(mesh);
}

void FillWaterMesh() {
    for (int row = 0; row < kMeshRows; ++row) {
        const int source = row % N;
        for (int j = 0; j < N; ++j) g_mesh.positions[(row * N + j) * 3 + 1] = HeightAt(source, j);
        std::copy(NormalAt(source, 0), NormalAt(source, 0) + N * 3, &g_mesh.normals[row * N * 3]);
    }
}

void DrawWaterArrays(bool withTextureCoordinates) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, g_mesh.positions.data());
    glNormalPointer(GL_FLOAT, 0, g_mesh.normals.data());
    if (withTextureCoordinates) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, g_mesh.textureCoordinates.data());
    }
    for (int i = 0; i < N; ++i) {
        glDrawElements(GL_QUAD_STRIP, kStripLength, GL_UNSIGNED_SHORT, &g_mesh.indices[i * kStripLength]);
    }
    if (withTextureCoordinates) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void DrawWater(bool surfacePass) {
    if (SceneDrawingOptions.drawMesh != nullptr) {
        SceneDrawingOptions.drawMesh(surfacePass);
    } else {
        DrawWaterArrays(surfacePass);
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
    MakeWaterMesh();

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
    // -1 ... 0 with repeat wrapping shows it upright. The rows the water
    // always covers are cut off by the scissor box (the quad stays the
    // same, so every pixel drawn is the one the whole quad would give).
    const bool water = WaveHeights != nullptr && WaveNormals != nullptr && g_mesh.ready();
    const int underWater = water && !SceneDrawingOptions.wholeBackdrop && g_viewportHeight > 0
                               ? RowsAlwaysUnderWater(g_viewportHeight, WaveHeightBound())
                               : 0;
    if (underWater > 0) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, underWater, g_viewportWidth, g_viewportHeight - underWater);
    }
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
    if (underWater > 0) glDisable(GL_SCISSOR_TEST);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    // Just above the water, looking along -x and slightly down.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kViewFieldOfView, kViewAspect, kViewNear, kViewFar);
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

    if (SceneDrawingOptions.updateField != nullptr) {
        SceneDrawingOptions.updateField();
    } else {
        UpdateWaveField();
    }
    if (!water) {
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
    if (SceneDrawingOptions.drawMesh == nullptr) FillWaterMesh();
    DrawWater(true);

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
    DrawWater(false);

    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    SetTextureGeneration(false);
    glPopMatrix();
    glDisable(GL_BLEND);
}

void ResizeViewport(int width, int height) {
    if (height == 0) height = 1;
    g_viewportWidth = width;
    g_viewportHeight = height;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
