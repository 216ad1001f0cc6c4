#pragma once
// Semi-landmark sliding: tangent rules, sliding-direction (U) matrices, the thin-plate-spline
// bending-energy matrix and the two damped slide steps.
// A curve row is interleaved (x1 y1 x2 y2 ... xq yq); U matrices, Lfinal and the vectors they
// multiply are stacked (x1..xq then y1..yq).
#include "platform/matrix.h"

namespace tav {

struct Tangent {
  double x = 0, y = 0;
};

// End-point tangent: data = [x1 y1 x2 y2 x3 y3] (end point, neighbour, next); the direction
// P1->P3 mirrored in the line P1->P2, pointing into the curve.
Tangent end_tangent(const Row& data);

// U matrix for the tangent plot: 2k×k full layout, quadratic-fit tangents fitted in each
// window's own frame (pointing along the listed order); cloop: closed curve (wrapped windows).
Matrix quadratic_tangent_basis(const Row& target, bool cloop);
// U matrix for the bending-energy slide, the same tangents as quadratic_tangent_basis: closed
// curves 2k×k; open curves the reduced (2k-4)×(k-2) layout of the interior points.
Matrix bending_slide_basis(const Row& target, bool cloop);
// U matrix for the distance slide: 2k×k, chord tangents, end_tangent at open ends.
Matrix chord_tangent_basis(const Row& target, bool cloop);

// One damped (half) Procrustes-distance step of a curve row towards `reference` (same layout).
Row damped_distance_step(const Row& reference, const Row& target, bool closedend);

// 2×floor(n/2) point matrix of a configuration row.
Matrix point_matrix(const Row& x);
// Thin-plate-spline kernel r²·log r² of two points (0 for coincident points).
double spline_kernel(const Eigen::RowVector2d& x1, const Eigen::RowVector2d& x2);
// The (n+3)×(n+3) spline system [K Q; Q' 0] of a 2×n point matrix.
Matrix spline_system(const Matrix& x);
// 2k×2k block-diagonal bending-energy matrix of a reference row (a trailing value is ignored).
Matrix bending_energy_matrix(const Row& reference);

// One damped (tenth) bending-energy step of a curve row. Lfinal: 2q×2q stacked, from the
// reference's coordinates of the same points. Open curves: interior points slide, ends stay.
Row damped_bending_step(const Row& target, bool closedend, const Matrix& Lfinal);

}  // namespace tav
