// The camera over the water and the one fact about the picture it makes that
// the drawing relies on: how many rows at the bottom of the viewport the
// water covers whatever the waves do. Portable: no GL.
#pragma once

#include <vector>

constexpr double kViewFieldOfView = 35.0;  // degrees, vertical, on every screen
constexpr double kViewAspect = 1.33;       // the designed look, at 1024 x 768
constexpr double kViewNear = 0.1;
constexpr double kViewFar = 500.0;
constexpr double kViewEye[3] = {1.0, 0.125, 0.0};
constexpr double kViewCentre[3] = {0.0, 0.04, 0.0};
constexpr double kViewUp[3] = {0.0, 1.0, 0.0};

// The mesh: grid units scaled by (2, 1, 2) / 128, so the sheet spans
// x -1 ... 0.984 (the far edge is column 0 at x = -1) and z -1 ... 1, and a
// wave height h lies at y = h / 128.
constexpr double kMeshScaleXZ = 2.0 / 128;
constexpr double kMeshScaleY = 1.0 / 128;

// The window y (from the bottom, in pixels) at which the sea's far edge
// appears when it lies at height y = seaY. The edge runs along z, across
// the view, so it appears as one horizontal line.
double FarEdgeWindowY(int viewportHeight, double seaY);

// Rows 0 ... n - 1 (from the bottom) that the water covers in every frame
// while no wave height is below -heightBound.
//
// Why: the ray through a pixel starts at the near plane above the sea (its
// lowest point there is at y = 0.08, crests reach about 0.01) and, if the pixel
// lies below the far edge's line for the lowest possible edge, ends at the
// far edge below the sea. Within the view the sheet reaches across the
// whole width (at the far edge a 4:3 view is 1.68 wide, the sheet 2; a
// wider view draws copies of the sheet beside it, see SheetCopies), so the
// ray passes from above the surface to below it over the sheet, and where it
// first does so it meets a face turned towards the eye: that face is drawn
// there. Two rows of margin cover the rasteriser's rounding.
int RowsAlwaysUnderWater(int viewportHeight, double heightBound);

// A view wider than 4:3 sees more sea at its far edge than the sheet holds
// (at 16:9 the view is 2.24 wide there, the sheet 2): the sheet is drawn
// again beside itself, one sheet (128 rows, 2 units of z) over, but only
// the strips that view can show. The rows wrap, so the copies join the
// sheet seamlessly: its last strip already ends on row 0's heights.
struct SheetCopy {
    int offset;      // in sheets along z: +1 is the screen's left, -1 its right
    int firstStrip;  // the strips drawn, first ... end - 1 (of 0 ... 127)
    int endStrip;
};

// The view's half-width along z at the sea's far edge, lying at height
// y = seaY, for a view of the given aspect.
double FarEdgeHalfWidth(double aspect, double seaY);

// The copies a view of that aspect needs to show sea from edge to edge
// while no wave height is below -heightBound; none at 4:3 or narrower.
std::vector<SheetCopy> SheetCopies(double aspect, double heightBound);
