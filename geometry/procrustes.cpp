#include "geometry/procrustes.h"

#include <cmath>
#include <string>

namespace tav::detail {

Index specimen_points(Index m, const char* task) {
  if (m % 2 == 0 || m < 3)
    throw Error(std::string(task) + ": specimen rows have " + std::to_string(m) +
                " columns; each row needs x and y of every point followed by one trailing "
                "value, an odd count of at least 3 (2 per point + 1)");
  return m / 2;
}

Matrix stacked_columns(const Matrix& x, Index k) {
  Matrix w(2 * k, x.rows());
  for (Index i = 0; i < x.rows(); ++i)
    for (Index p = 0; p < k; ++p) {
      w(p, i) = x(i, 2 * p);
      w(k + p, i) = x(i, 2 * p + 1);
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

Matrix interleaved_rows(const Matrix& w, const Eigen::VectorXd& trailing) {
  const Index k = w.rows() / 2;
  Matrix y(w.cols(), 2 * k + 1);
  for (Index p = 0; p < k; ++p) {
    y.col(2 * p) = w.row(p).transpose();
    y.col(2 * p + 1) = w.row(k + p).transpose();
  }
  y.col(2 * k) = trailing;
  return y;
}

void centre_and_scale(Matrix& w) {
  const Index k = w.rows() / 2;
  for (Index i = 0; i < w.cols(); ++i) {
    auto xs = w.col(i).head(k);
    auto ys = w.col(i).tail(k);
    xs.array() -= xs.sum() / static_cast<double>(k);
    ys.array() -= ys.sum() / static_cast<double>(k);
    const double size = w.col(i).norm();
    if (size == 0)
      throw Error("specimen " + std::to_string(i + 1) +
                  ": all its points coincide (centroid size 0); correct or remove this row");
    w.col(i) /= size;
  }
}

Turn best_turn(const Eigen::Ref<const Eigen::VectorXd>& specimen,
               const Eigen::Ref<const Eigen::VectorXd>& ref) {
  const Index k = specimen.size() / 2;
  const auto X = specimen.head(k), Y = specimen.tail(k);
  const auto Rx = ref.head(k), Ry = ref.tail(k);
  const double ct = Rx.dot(X) + Ry.dot(Y);
  const double st = X.dot(Ry) - Y.dot(Rx);
  // cos and sin of atan2(st, ct) without the angle; no preference at all leaves it unturned.
  const double r = std::hypot(ct, st);
  if (r == 0) return {};
  return {ct / r, st / r};
}

void apply_turn(Eigen::Ref<Eigen::VectorXd> specimen, Turn t) {
  const Index k = specimen.size() / 2;
  double* X = specimen.data();
  double* Y = X + k;
  for (Index p = 0; p < k; ++p) {
    // Both new coordinates come from the old ones.
    const double u = X[p], v = Y[p];
    X[p] = u * t.c - v * t.s;
    Y[p] = u * t.s + v * t.c;
  }
}

}  // namespace tav::detail
