#include "consensus/consensus.h"
#include "consensus/distance_slide.h"
#include "consensus/normalise_rows.h"

namespace tav {

Consensus getconsensusdist(const Matrix& x, const CurveProtocol& p) {
  // Superimpose, slide every curve once against that consensus, superimpose the slid sample.
  const Consensus plain = getconsensus(normalise_rows(x));
  Matrix slid = plain.xpt;
  slide_distance(slid, p, plain.y);
  return getconsensus(slid);
}

}  // namespace tav
