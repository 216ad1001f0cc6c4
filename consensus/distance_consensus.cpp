#include "consensus/consensus.h"
#include "consensus/distance_slide.h"
#include "consensus/normalise_rows.h"

namespace tav {

Consensus distance_consensus(const Matrix& x, const CurveProtocol& p) {
  // Superimpose, slide every curve once against that consensus, superimpose the slid sample.
  // The superimposed sample is slid where it lies: a copy would be one more sample in memory.
  Consensus plain = plain_consensus(normalise_rows(x));
  Matrix slid = std::move(plain.xpt);
  slide_distance(slid, p, plain.y);
  return plain_consensus(slid);
}

}  // namespace tav
