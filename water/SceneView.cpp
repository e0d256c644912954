#include "SceneView.h"

#include <cmath>

namespace {

struct Vec {
    double x, y, z;
};
Vec Sub(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec Unit(const Vec& a) {
    const double length = std::sqrt(Dot(a, a));
    return {a.x / length, a.y / length, a.z / length};
}

// The look-at frame and the perspective's cotangent.
struct Camera {
    Vec eye, forward, side, up;
    double cotangent;
};

Camera TheCamera() {
    Camera c;
    c.eye = {kViewEye[0], kViewEye[1], kViewEye[2]};
    c.forward = Unit(Sub({kViewCentre[0], kViewCentre[1], kViewCentre[2]}, c.eye));
    c.side = Unit(Cross(c.forward, {kViewUp[0], kViewUp[1], kViewUp[2]}));
    c.up = Cross(c.side, c.forward);
    const double pi = 3.14159265358979323846;
    c.cotangent = 1.0 / std::tan(kViewFieldOfView * pi / 360.0);
    return c;
}

}  // namespace

double FarEdgeWindowY(int viewportHeight, double seaY) {
    // The look-at and perspective matrices, applied to the point (-1, seaY, 0).
    const Camera c = TheCamera();
    const Vec toEdge = Sub({-64 * kMeshScaleXZ, seaY, 0.0}, c.eye);
    const double ndcY = c.cotangent * Dot(c.up, toEdge) / Dot(c.forward, toEdge);
    return (ndcY + 1.0) * 0.5 * viewportHeight;
}

double FarEdgeHalfWidth(double aspect, double seaY) {
    // Screen right is -z and the forward direction has no z part, so a
    // point of the far edge lies at the view's side where
    // |z| = depth * aspect / cotangent.
    const Camera c = TheCamera();
    const double depth = Dot(c.forward, Sub({-64 * kMeshScaleXZ, seaY, 0.0}, c.eye));
    return depth * aspect / c.cotangent;
}

std::vector<SheetCopy> SheetCopies(double aspect, double heightBound) {
    constexpr int kStrips = 128;
    constexpr double kRowsPerUnit = 64.0;  // rows of the sheet per unit of z
    constexpr int kMargin = 2;             // strips beyond the edge, for the rasteriser's rounding
    // The lowest sea is the farthest (and so the widest) far edge.
    const double half = FarEdgeHalfWidth(aspect, -heightBound * kMeshScaleY);
    std::vector<SheetCopy> copies;
    for (int k = 1; 2 * k - 1 < half; ++k) {
        // Copy k covers z from 2k - 1 to 2k + 1; strip i of it starts at z = 2k + (i - 64) / 64.
        const int needed = static_cast<int>(std::ceil((half - (2 * k - 1)) * kRowsPerUnit)) + kMargin;
        const int strips = needed < kStrips ? needed : kStrips;
        copies.push_back({k, 0, strips});                // left of the sheet: its near rows
        copies.push_back({-k, kStrips - strips, kStrips});  // right of it: its far rows
    }
    return copies;
}

int RowsAlwaysUnderWater(int viewportHeight, double heightBound) {
    const double edge = FarEdgeWindowY(viewportHeight, -heightBound * kMeshScaleY);
    const double rows = std::floor(edge) - 2.0;
    if (!(rows > 0.0)) return 0;
    return rows > viewportHeight ? viewportHeight : static_cast<int>(rows);
}
