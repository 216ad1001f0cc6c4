#include "sliding/bending_slide.h"

#include <cmath>
#include <limits>

namespace tav {

SlideDirections slide_directions(const Matrix& umat, Index q, bool closed) {
  const Index cols = closed ? q : q - 2;
  const Index half = closed ? q : q - 2;  // row offset of the y components
  if (cols < 1 || umat.rows() != 2 * half || umat.cols() != cols)
    throw Error("bending-energy slide: the sliding-direction matrix is " +
                std::to_string(umat.rows()) + "x" + std::to_string(umat.cols()) +
                ", which does not fit a curve of " + std::to_string(q) + " points");
  SlideDirections d;
  d.point.resize(static_cast<size_t>(cols));
  d.tx.resize(cols);
  d.ty.resize(cols);
  for (Index c = 0; c < cols; ++c) {
    d.point[static_cast<size_t>(c)] = closed ? c : c + 1;
    d.tx(c) = umat(c, c);
    d.ty(c) = umat(half + c, c);
  }
  return d;
}

void check_slide_curve(Index q, bool closed, const std::string& what) {
  const Index need = closed ? 3 : 6;
  if (q >= need) return;
  throw Error(what + " has " + std::to_string(q) + " points, but " +
              (closed ? "a closed curve needs at least 3 points to slide"
                      : "an open curve needs at least 6 (the tangents near its ends use six)") +
              "; add semi-landmarks to it in the protocol or make its points landmarks");
}

std::string slide_failure_text(SlideStatus status, const std::string& where) {
  if (status == SlideStatus::not_finite)
    return "bending-energy slide of " + where +
           ": a tangent or the step is not a number (two neighbouring points coincide or "
           "stand one above the other); check the data of that specimen";
  return "bending-energy slide of " + where +
         ": the bending energy does not fix the slide (singular or indefinite system), "
         "usually because the consensus points of the curve lie on a line or coincide; check "
         "the curve's points in the protocol and the data";
}

SlideStatus bending_step_along(const Row& target, const SlideDirections& dirs,
                               const Matrix& lcurve, const Eigen::VectorXd& fixed_term,
                               Row& moved) {
  const Index q = target.size() / 2;
  const Index cols = static_cast<Index>(dirs.point.size());
  if (!dirs.tx.allFinite() || !dirs.ty.allFinite()) return SlideStatus::not_finite;

  // b in stacked order and r = L·b (+ the fixed points' term): U'·L·b is read from r.
  Eigen::VectorXd b(2 * q);
  for (Index p = 0; p < q; ++p) {
    b(p) = target(2 * p);
    b(q + p) = target(2 * p + 1);
  }
  Eigen::VectorXd r = lcurve * b;
  if (fixed_term.size() != 0) r += fixed_term;

  Matrix m(cols, cols);
  Eigen::VectorXd rhs(cols);
  for (Index a = 0; a < cols; ++a) {
    const Index pa = dirs.point[static_cast<size_t>(a)];
    const double xa = dirs.tx(a), ya = dirs.ty(a);
    rhs(a) = xa * r(pa) + ya * r(q + pa);
    for (Index c = a; c < cols; ++c) {
      const Index pc = dirs.point[static_cast<size_t>(c)];
      const double xc = dirs.tx(c), yc = dirs.ty(c);
      m(c, a) = xa * (lcurve(pa, pc) * xc + lcurve(pa, q + pc) * yc) +
                ya * (lcurve(q + pa, pc) * xc + lcurve(q + pa, q + pc) * yc);
    }
  }
  const Eigen::LDLT<Matrix, Eigen::Lower> ldlt(m);
  if (ldlt.info() != Eigen::Success) return SlideStatus::singular;
  // U'·L·U is positive semi-definite; a pivot at rounding level (or below zero) means some slide
  // costs no energy and the optimum is not determined.
  const Eigen::VectorXd d = ldlt.vectorD();
  const double dmax = d.cwiseAbs().maxCoeff();
  const double floor = dmax * static_cast<double>(cols) * std::numeric_limits<double>::epsilon();
  if (!std::isfinite(dmax) || dmax == 0 || d.minCoeff() <= floor) return SlideStatus::singular;
  const Eigen::VectorXd t = -ldlt.solve(rhs);
  if (!t.allFinite()) return SlideStatus::not_finite;

  constexpr double mscale = 0.1;
  moved = target;
  for (Index a = 0; a < cols; ++a) {
    const Index p = dirs.point[static_cast<size_t>(a)];
    moved(2 * p) += dirs.tx(a) * t(a) * mscale;
    moved(2 * p + 1) += dirs.ty(a) * t(a) * mscale;
  }
  return SlideStatus::ok;
}

}  // namespace tav
