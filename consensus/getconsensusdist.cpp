#include "consensus/consensus.h"
#include "consensus/distance_slide.h"
#include "consensus/normalise_rows.h"

namespace tav {

Consensus getconsensusdist(const Matrix& x, const CurveProtocol& p) {
  // Superimpose, slide every curve once against that consensus, superimpose the slid sample.
  // The superimposed sample is slid where it lies: a copy would be one more sample in memory.
  Consensus plain = getconsensus(normalise_rows(x));
  Matrix slid = std::move(plain.xpt);
  slide_distance(slid, p, plain.y);
  return getconsensus(slid);
}

}  // namespace tav
