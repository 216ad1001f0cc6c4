#pragma once
// The three tangent rules of semi-landmark sliding, shared by the U-matrix builders and the
// distance slide. Every rule returns a unit vector and turns with the curve; coincident points
// give components that are not numbers, which the consensus routines detect and report.
#include <cmath>

#include "platform/matrix.h"
#include "sliding/sliding.h"

namespace tav {

// End-point rule: unit direction p1->p3 mirrored in the line p1->p2 (the rule of end_tangent).
Tangent end_point_tangent(double x1, double y1, double x2, double y2, double x3, double y3);

// Chord rule: unit vector from neighbour B towards neighbour A; the point itself takes no part.
inline Tangent chord_tangent(double xa, double ya, double xb, double yb) {
  const double dx = xa - xb, dy = ya - yb;
  const double magd = std::sqrt(dx * dx + dy * dy);
  return {dx / magd, dy / magd};
}

// Quadratic-fit rule in the window's own frame, so that it turns with the curve: c = the unit
// chord from the window's first point to its last, n = c turned a quarter turn anticlockwise;
// each window point P becomes (u, v) = ((P - P0)·c, (P - P0)·n) about the point P0 = (x0, y0)
// whose tangent is wanted; the least-squares parabola v ≈ a·u² + b·u + d gives the tangent
// (c + b·n)/√(1 + b²), pointing from the window's first point towards its last.
// xs, ys: the window (3 to 6 points). A chord of length zero (the window's ends coincide)
// gives components that are not numbers. A window with fewer than three distinct u has no
// unique fit; the rank-revealing solve then returns its basic solution (a folded window).
Tangent quadratic_tangent(const Eigen::Ref<const Row>& xs, const Eigen::Ref<const Row>& ys,
                          double x0, double y0);

// Writes a tangent into column `col` (1-based) of a stacked U matrix with
// `half` rows per coordinate: x component in row col, y component in row half + col.
inline void put_tangent(Matrix& u, Index col, Index half, Tangent t) {
  u(col - 1, col - 1) = t.x;
  u(half + col - 1, col - 1) = t.y;
}

// A curve row split into its x and y coordinates. For a closed curve the rows are padded with
// two points from the other end on each side, so point i (1-based) sits at position i+2.
struct CurveCoords {
  Row xv, yv;
  Index k = 0;  // number of points of the curve
  bool closed = false;
};
// target: 1×2k interleaved curve row. Raises Error (naming `routine`) for an odd length or a
// curve shorter than min_open (open) or 3 (closed) points.
CurveCoords curve_coords(const Row& target, bool cloop, Index min_open, const char* routine);

// Quadratic-fit tangent of point i (1-based) of a closed curve: five-point window of points
// i-2..i+2, wrapping across the ends; it points along the curve's listed order.
Tangent closed_quadratic_tangent(const CurveCoords& c, Index i);
// Quadratic-fit tangent of point p (1-based) of an open curve of k >= 6 points: points 1 and 2
// share the window of points 1..5, points k-1 and k the six-point window k-5..k, the others a
// centred five-point window; it points along the curve's listed order.
Tangent open_quadratic_tangent(const CurveCoords& c, Index p);

// Number of points k of a curve row for the distance slide; raises Error (naming `routine`)
// for an odd length or fewer than 3 points, which the chord and end-point rules need.
Index distance_curve_points(const Row& target, const char* routine);

// Tangent of point i (1-based) of a curve of k points for the distance slide: the chord
// between the neighbours (wrapped for a closed curve), the end-point rule at the ends of an
// open curve. target: the interleaved curve row, k >= 3.
Tangent distance_tangent(const Eigen::Ref<const Row>& target, Index k, bool cloop, Index i);

// One half step of the distance slide, written into y (same length as target, not aliasing
// it); no allocation. reference: at least as long as target. held: null, or one flag per curve
// point; a flagged point (a landmark) is not moved.
void distance_slide_step(const Eigen::Ref<const Row>& reference,
                         const Eigen::Ref<const Row>& target, bool closedend, Eigen::Ref<Row> y,
                         const char* held = nullptr);

}  // namespace tav
