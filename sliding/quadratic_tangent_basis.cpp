#include "sliding/sliding.h"
#include "sliding/tangent_rules.h"

namespace tav {

Matrix quadratic_tangent_basis(const Row& target, bool cloop) {
  const CurveCoords c = curve_coords(target, cloop, 6, "umaker");
  const Index k = c.k;
  Matrix u = Matrix::Zero(2 * k, k);
  for (Index p = 1; p <= k; ++p) {
    const Tangent t = cloop ? closed_quadratic_tangent(c, p) : open_quadratic_tangent(c, p);
    put_tangent(u, p, k, t);
  }
  return u;
}

}  // namespace tav
