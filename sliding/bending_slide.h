#pragma once
// The damped bending-energy step in its fast form, shared by damped_bending_step and the consensus
// routines. U has two non-zeros per column (a sliding point's tangent at its x and y rows), so
// U'·L·U and U'·L·b are read from L element by element instead of dense products, and the optimal
// slide comes from a symmetric (Cholesky) solve instead of an explicit inverse.
#include <string>
#include <vector>

#include "sliding/cholesky.h"
#include "sliding/sliding.h"

namespace tav {

// The columns of a sliding-direction matrix in compact form: column c moves curve point
// point[c] (0-based) along (tx[c], ty[c]). There are point.size() columns; tx and ty may be
// longer (buffers reused from step to step).
struct SlideDirections {
  std::vector<Index> point;
  Eigen::VectorXd tx, ty;
};

// Reads the columns of bending_slide_basis's matrix for a curve of q points: closed curves 2q×q
// (column i for point i), open curves (2q-4)×(q-2) (column j for interior point j+1; the ends
// stay).
SlideDirections slide_directions(const Matrix& umat, Index q, bool closed);
void read_slide_directions(const Matrix& umat, Index q, bool closed, SlideDirections& d);

// The same columns computed directly from a curve row (2q interleaved coordinates), without
// the dense matrix: bending_slide_basis's quadratic-fit tangents to rounding, written into d's
// buffers. Raises Error for a curve too short to slide (see check_slide_curve).
void slide_tangents(const Row& target, bool closed, SlideDirections& d);

// The quadratic form of a curve's slide, 2q×2q in stacked order. Kept as its q×q block when
// the x and the y coordinates have the same block and do not couple (the form of
// bending_energy_matrix), which halves the work of a step.
struct CurveEnergy {
  Matrix l;  // q×q block when block_diagonal, else the whole 2q×2q matrix
  bool block_diagonal = false;
};
CurveEnergy curve_energy(const Matrix& lfinal);  // detects the block form
CurveEnergy curve_energy_from_block(Matrix block);

// Buffers of one step, reused from step to step so that a settling loop does not allocate.
struct SlideWorkspace {
  SlideDirections dirs;
  SmallCholesky m;  // U'·L·U, then its Cholesky factor
  Eigen::VectorXd b, r, rhs, t;
  // After a not_finite status: the curve position (0-based) of the first point whose tangent
  // is not a number, or -1 when the tangents were all numbers.
  Index undefined_tangent = -1;
};

// Raises Error when a curve is too short to slide: an open curve needs 6 points (the tangent
// windows of its ends), a closed one 3. `what` names the curve in the message ("curve -1").
void check_slide_curve(Index q, bool closed, const std::string& what);

enum class SlideStatus { ok, singular, not_finite };

// Text for a failed step; `where` names the specimen and curve.
std::string slide_failure_text(SlideStatus status, const std::string& where);

// One damped (tenth) bending-energy step of a curve row.
// target: 2q interleaved coordinates; closed: closed curve; energy: 2q×2q stacked, symmetric;
// fixed_term: empty, or the 2q stacked gradient contribution L_cf·y_f of points outside the
// curve that are held where they are. T minimises (b + U·T)'·lcurve·(b + U·T) + 2·(U·T)'·g;
// every sliding point moves by 0.1·T along its bending_slide_basis tangent, open-curve ends stay.
// held: empty, or one flag per curve point; a flagged point (a landmark) gets no column in U
// and stays. On success `moved` holds the new row; otherwise the status says why and `moved`
// is unusable.
SlideStatus bending_step(const Row& target, bool closed, const CurveEnergy& energy,
                         const Eigen::VectorXd& fixed_term, Row& moved, SlideWorkspace& ws,
                         const std::vector<char>& held = {});

// The same step with the directions given (no tangent estimation): the solver core.
SlideStatus bending_step_along(const Row& target, const SlideDirections& dirs,
                               const CurveEnergy& energy, const Eigen::VectorXd& fixed_term,
                               Row& moved, SlideWorkspace& ws);

}  // namespace tav
