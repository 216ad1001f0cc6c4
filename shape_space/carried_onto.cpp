#include <complex>

#include "shape_space/shape_space.h"

namespace tav {

// In complex numbers the similarity is z -> c (z - from's centroid) + to's centroid, and the
// least-squares c is sum(conj(f) t) / sum(|f|²) over the listed points, both centred.
Row carried_onto(const Row& from, const Row& to, const std::vector<Index>& points) {
  using Z = std::complex<double>;
  const Index k = from.size() / 2;
  const auto point = [](const Row& r, Index p) { return Z(r(2 * p), r(2 * p + 1)); };
  Z from_centre = 0, to_centre = 0;
  for (const Index p : points) from_centre += point(from, p), to_centre += point(to, p);
  const double count = static_cast<double>(points.size());
  from_centre /= count, to_centre /= count;
  Z cross = 0;
  double norm = 0;
  for (const Index p : points) {
    const Z f = point(from, p) - from_centre;
    cross += std::conj(f) * (point(to, p) - to_centre);
    norm += std::norm(f);
  }
  const Z c = norm > 0 ? cross / norm : Z(1);
  Row carried(2 * k);
  for (Index p = 0; p < k; ++p) {
    const Z z = c * (point(from, p) - from_centre) + to_centre;
    carried(2 * p) = z.real(), carried(2 * p + 1) = z.imag();
  }
  return carried;
}

}  // namespace tav
