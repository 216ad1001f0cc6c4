#include "sliding/sliding.h"

namespace tav {

// Point p of the row (x at column 2p-1, y at 2p) becomes column p; an odd last value (the
// trailing value of a configuration row) has no partner and is dropped.
Matrix point_matrix(const Row& x) {
  const Index k = x.size() / 2;
  Matrix y(2, k);
  for (Index p = 0; p < k; ++p) {
    y(0, p) = x(2 * p);
    y(1, p) = x(2 * p + 1);
  }
  return y;
}

}  // namespace tav
