#include "consensus/normalise_rows.h"

#include <string>

#include "geometry/procrustes.h"

namespace tav {

Matrix normalise_rows(const Matrix& x) {
  if (x.rows() == 0) throw Error("the sample holds no specimens (0 rows); load a data file first");
  const Index k = detail::specimen_points(x.cols(), "sliding consensus");
  Matrix w = detail::stacked_columns(x, k);
  detail::centre_and_scale(w);
  return detail::interleaved_rows(w, x.col(2 * k));
}

}  // namespace tav
