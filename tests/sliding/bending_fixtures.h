#pragma once
// Curves and the literal dense bending-energy step, shared by the bending-energy tests.
#include <cmath>
#include <numbers>

#include "sliding/bending_slide.h"

namespace tav::test {

// A leaf-like closed outline of q points (interleaved), not an ellipse: an ellipse could slide
// round itself at no bending energy. wobble perturbs the points off the smooth outline.
inline Row leaf_outline(Index q, double wobble = 0, double turn = 0) {
  Row r(2 * q);
  for (Index i = 0; i < q; ++i) {
    const double t = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(q);
    const double x = 1.6 * std::cos(t) + 0.25 * std::cos(2 * t);
    const double y = (0.7 + 0.2 * std::cos(t)) * std::sin(t) + wobble * std::sin(5 * t + 0.3);
    r(2 * i) = std::cos(turn) * x - std::sin(turn) * y;
    r(2 * i + 1) = std::sin(turn) * x + std::cos(turn) * y;
  }
  return r;
}

// An open arc of q points, x increasing, bent by `bend`, with a wobble of the spacing.
inline Row open_arc(Index q, double bend = 0.3, double wobble = 0) {
  Row r(2 * q);
  for (Index i = 0; i < q; ++i) {
    const double s = static_cast<double>(i) / static_cast<double>(q - 1);
    const double x = s + wobble * std::sin(7 * s);
    r(2 * i) = x;
    r(2 * i + 1) = bend * std::sin(2.5 * x) + 0.1 * x * x;
  }
  return r;
}

// The dense 2q-row U matrix (stacked order) of compact directions.
inline Matrix dense_u(const SlideDirections& d, Index q) {
  Matrix u = Matrix::Zero(2 * q, static_cast<Index>(d.point.size()));
  for (Index c = 0; c < u.cols(); ++c) {
    u(d.point[static_cast<size_t>(c)], c) = d.tx(c);
    u(q + d.point[static_cast<size_t>(c)], c) = d.ty(c);
  }
  return u;
}

inline Eigen::VectorXd stacked(const Row& r) {
  const Index q = r.size() / 2;
  Eigen::VectorXd b(2 * q);
  for (Index p = 0; p < q; ++p) b(p) = r(2 * p), b(q + p) = r(2 * p + 1);
  return b;
}

inline Row interleaved(const Eigen::VectorXd& b) {
  const Index q = b.size() / 2;
  Row r(2 * q);
  for (Index p = 0; p < q; ++p) r(2 * p) = b(p), r(2 * p + 1) = b(q + p);
  return r;
}

// The step as the formula reads: T = -inv(U'LU)·(U'L b), y = b + (U T)·0.1.
inline Eigen::VectorXd literal_t(const Matrix& u, const Matrix& l, const Eigen::VectorXd& b) {
  return -((u.transpose() * l * u).inverse() * (u.transpose() * l * b));
}
inline Row literal_step(const Matrix& u, const Matrix& l, const Row& target) {
  const Eigen::VectorXd b = stacked(target);
  return interleaved(b + (u * literal_t(u, l, b)) * 0.1);
}

}  // namespace tav::test
