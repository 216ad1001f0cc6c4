#include "sliding/sliding.h"
#include "sliding/tangent_rules.h"

namespace tav {

Matrix bending_slide_basis(const Row& target, bool cloop) {
  const CurveCoords c = curve_coords(target, cloop, 6, "umaker2");
  const Index k = c.k;
  if (cloop) {
    Matrix u = Matrix::Zero(2 * k, k);
    for (Index p = 1; p <= k; ++p) {
      put_tangent(u, p, k, closed_quadratic_tangent(c, p));
    }
    return u;
  }
  // Open curve: the end points never slide, so only the k-2 interior points get a column;
  // point p has column p-1 with its x in row p-1 and its y in row (p-1)+(k-2) (1-based).
  const Index m = k - 2;
  Matrix u = Matrix::Zero(2 * m, m);
  for (Index p = 2; p <= k - 1; ++p) {
    put_tangent(u, p - 1, m, open_quadratic_tangent(c, p));
  }
  return u;
}

}  // namespace tav
