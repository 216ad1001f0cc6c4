#include "consensus/normalise_rows.h"

#include "geometry/procrustes.h"

namespace tav {

Matrix normalise_rows(const Matrix& x) {
  if (x.rows() == 0) throw Error("the sample holds no specimens (0 rows); load a data file first");
  const Index k = detail::specimen_points(x.cols(), "sliding consensus");
  const Matrix w = detail::normalised_stacked(x, k);
  return detail::interleaved_rows(w, std::vector<detail::Turn>(static_cast<std::size_t>(x.rows())),
                                  x.col(2 * k));
}

}  // namespace tav
