#include "sliding/sliding.h"
#include "sliding/tangent_rules.h"

namespace tav {

Matrix chord_tangent_basis(const Row& target, bool cloop) {
  const Index k = distance_curve_points(target, "umakera");
  Matrix u = Matrix::Zero(2 * k, k);
  for (Index p = 1; p <= k; ++p) {
    const Tangent t = distance_tangent(target, k, cloop, p);
    put_tangent(u, p, k, t);
  }
  return u;
}

}  // namespace tav
