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

}  // namespace

double FarEdgeWindowY(int viewportHeight, double seaY) {
    // The look-at and perspective matrices, applied to the point (-1, seaY, 0).
    const Vec eye{kViewEye[0], kViewEye[1], kViewEye[2]};
    const Vec forward = Unit(Sub({kViewCentre[0], kViewCentre[1], kViewCentre[2]}, eye));
    const Vec side = Unit(Cross(forward, {kViewUp[0], kViewUp[1], kViewUp[2]}));
    const Vec up = Cross(side, forward);
    const Vec toEdge = Sub({-64 * kMeshScaleXZ, seaY, 0.0}, eye);
    const double pi = 3.14159265358979323846;
    const double cotangent = 1.0 / std::tan(kViewFieldOfView * pi / 360.0);
    const double ndcY = cotangent * Dot(up, toEdge) / Dot(forward, toEdge);
    return (ndcY + 1.0) * 0.5 * viewportHeight;
}

int RowsAlwaysUnderWater(int viewportHeight, double heightBound) {
    const double edge = FarEdgeWindowY(viewportHeight, -heightBound * kMeshScaleY);
    const double rows = std::floor(edge) - 2.0;
    if (!(rows > 0.0)) return 0;
    return rows > viewportHeight ? viewportHeight : static_cast<int>(rows);
}
