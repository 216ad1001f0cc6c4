#include "geometry/procrustes.h"

#include <algorithm>
#include <string>

namespace tav::detail {

namespace {

// Specimens moved between the row and the stacked layouts together: a block of rows shares
// cache lines and memory pages in each column of x, and its stacked columns stay in cache.
constexpr Index kBlock = 32;

// Centres a stacked specimen of k points and scales it to unit centroid size; i (0-based)
// names the specimen in the error.
void centre_and_scale(Eigen::Ref<Eigen::VectorXd> specimen, Index k, Index i) {
  auto xs = specimen.head(k).array();
  auto ys = specimen.tail(k).array();
  xs -= xs.sum() / static_cast<double>(k);
  ys -= ys.sum() / static_cast<double>(k);
  const double size = specimen.norm();
  if (size == 0)
    throw Error("specimen " + std::to_string(i + 1) +
                ": all its points coincide (centroid size 0); correct or remove this row");
  specimen /= size;
}

}  // namespace

Index specimen_points(Index m, const char* task) {
  if (m % 2 == 0 || m < 3)
    throw Error(std::string(task) + ": specimen rows have " + std::to_string(m) +
                " columns; each row needs x and y of every point followed by one trailing "
                "value, an odd count of at least 3 (2 per point + 1)");
  return m / 2;
}

Matrix normalised_stacked(const Matrix& x, Index k) {
  Matrix w(2 * k, x.rows());
  for (Index i0 = 0; i0 < x.rows(); i0 += kBlock) {
    const Index i1 = std::min(x.rows(), i0 + kBlock);
    for (Index p = 0; p < k; ++p)
      for (Index i = i0; i < i1; ++i) {
        w(p, i) = x(i, 2 * p);
        w(k + p, i) = x(i, 2 * p + 1);
      }
    for (Index i = i0; i < i1; ++i) centre_and_scale(w.col(i), k, i);
  }
  return w;
}

Eigen::VectorXd stacked_reference(const Matrix& xref, Index k) {
  if (xref.size() < 2 * k)
    throw Error("reference configuration: " +
                index_error_text(2 * k, xref.size(), xref.rows(), xref.cols()) + "; it needs " +
                std::to_string(2 * k) + " coordinates, x and y of each of the specimens' " +
                std::to_string(k) + " points");
  Eigen::VectorXd r(2 * k);
  for (Index p = 0; p < k; ++p) {
    r(p) = xref.data()[2 * p];
    r(k + p) = xref.data()[2 * p + 1];
  }
  return r;
}

Matrix interleaved_rows(const Matrix& w, const std::vector<Turn>& turns,
                        const Eigen::VectorXd& trailing) {
  const Index k = w.rows() / 2, n = w.cols();
  Matrix y(n, 2 * k + 1);
  for (Index i0 = 0; i0 < n; i0 += kBlock) {
    const Index i1 = std::min(n, i0 + kBlock);
    for (Index p = 0; p < k; ++p)
      for (Index i = i0; i < i1; ++i) {
        // Both new coordinates come from the old ones.
        const Turn t = turns[static_cast<size_t>(i)];
        const double u = w(p, i), v = w(k + p, i);
        y(i, 2 * p) = u * t.c - v * t.s;
        y(i, 2 * p + 1) = u * t.s + v * t.c;
      }
  }
  y.col(2 * k) = trailing;
  return y;
}

TurnTarget::TurnTarget(const Eigen::VectorXd& ref) : ref_(ref) {}

}  // namespace tav::detail
