#include "consensus/turn_onto.h"

#include <cmath>

namespace tav {
namespace {

struct Angle {
  double c = 1, s = 0;
};

// The best angle about the origin from the points pts of `from` onto those of `onto`, where
// at(r, q) gives point q of configuration r as (x, y).
template <class From, class Onto>
Angle best_angle(const From& from, const Onto& onto, const std::vector<Index>& pts) {
  double ct = 0, st = 0;
  for (const Index q : pts) {
    const double px = from(2 * q), py = from(2 * q + 1);
    const double rx = onto(2 * q), ry = onto(2 * q + 1);
    ct += rx * px + ry * py;
    st += px * ry - py * rx;
  }
  const double theta = std::atan2(st, ct);
  return {std::cos(theta), std::sin(theta)};
}

template <class Coords>
void turn(Coords&& r, Index k, Angle a) {
  for (Index q = 0; q < k; ++q) {
    const double px = r(2 * q), py = r(2 * q + 1);
    r(2 * q) = px * a.c - py * a.s;
    r(2 * q + 1) = px * a.s + py * a.c;
  }
}

}  // namespace

void turn_row_onto(Matrix& x, Index i, const Row& ref, const std::vector<Index>& pts) {
  const Angle a = best_angle(x.row(i), ref, pts);
  turn(x.row(i), (x.cols() - 1) / 2, a);
}

void turn_with_sample_onto(Row& y, Matrix& xpt, const Row& ref) {
  const Index k = (y.size() - 1) / 2;
  std::vector<Index> all(static_cast<size_t>(k));
  for (Index q = 0; q < k; ++q) all[static_cast<size_t>(q)] = q;
  const Angle a = best_angle(y, ref, all);
  turn(y, k, a);
  for (Index i = 0; i < xpt.rows(); ++i) turn(xpt.row(i), k, a);
}

}  // namespace tav
