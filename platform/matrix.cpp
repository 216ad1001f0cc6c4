#include "platform/matrix.h"

#include <cmath>

namespace tav {

std::string index_error_text(Index i, Index count, Index rows, Index cols) {
  return "Index exceeds matrix dimensions: index " + std::to_string(i) + " is outside 1.." +
         std::to_string(count) + " (a " + std::to_string(rows) + "x" + std::to_string(cols) +
         " matrix)";
}

namespace {
template <typename M>
double linear_at(const M& m, Index i) {
  if (i < 1 || i > m.size()) throw Error(index_error_text(i, m.size(), m.rows(), m.cols()));
  return m.data()[i - 1];
}
}  // namespace

double at(const Matrix& m, Index i) { return linear_at(m, i); }
double at(const Row& m, Index i) { return linear_at(m, i); }

double at(const Matrix& m, Index r, Index c) {
  if (r < 1 || r > m.rows() || c < 1 || c > m.cols())
    throw Error("Index exceeds matrix dimensions: (" + std::to_string(r) + ", " +
                std::to_string(c) + ") is outside a " + std::to_string(m.rows()) + "x" +
                std::to_string(m.cols()) + " matrix");
  return m(r - 1, c - 1);
}

void set_grow(Matrix& m, Index r, Index c, double v) {
  if (r < 1 || c < 1)
    throw Error("Subscript indices must be positive integers: (" + std::to_string(r) + ", " +
                std::to_string(c) + ")");
  if (r > m.rows() || c > m.cols()) {
    const Index nr = std::max(r, m.rows()), nc = std::max(c, m.cols());
    Matrix grown = Matrix::Zero(nr, nc);
    grown.topLeftCorner(m.rows(), m.cols()) = m;
    m.swap(grown);
  }
  m(r - 1, c - 1) = v;
}

void set_grow(Row& m, Index i, double v) {
  if (i < 1) throw Error("Subscript indices must be positive integers: " + std::to_string(i));
  if (i > m.size()) m.conservativeResizeLike(Row::Zero(i));
  m(i - 1) = v;
}

namespace {
template <typename M>
Row pick_from(const M& m, const std::vector<Index>& idx) {
  Row out(static_cast<Index>(idx.size()));
  for (size_t k = 0; k < idx.size(); ++k) out(static_cast<Index>(k)) = linear_at(m, idx[k]);
  return out;
}
}  // namespace

Row pick(const Matrix& m, const std::vector<Index>& idx) { return pick_from(m, idx); }
Row pick(const Row& m, const std::vector<Index>& idx) { return pick_from(m, idx); }

Row row(std::initializer_list<double> v) {
  Row r(static_cast<Index>(v.size()));
  Index k = 0;
  for (double d : v) r(k++) = d;
  return r;
}

Matrix rows(std::initializer_list<std::initializer_list<double>> v) {
  const Index n = static_cast<Index>(v.size());
  const Index m = n ? static_cast<Index>(v.begin()->size()) : 0;
  Matrix out(n, m);
  Index i = 0;
  for (const auto& r : v) {
    if (static_cast<Index>(r.size()) != m) throw Error("rows(): ragged literal");
    Index j = 0;
    for (double d : r) out(i, j++) = d;
    ++i;
  }
  return out;
}

bool all_finite(const Matrix& m) { return m.allFinite(); }

}  // namespace tav
