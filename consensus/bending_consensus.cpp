#include "consensus/bending_walk.h"
#include "consensus/consensus.h"
#include "consensus/normalise_rows.h"

namespace tav {

Consensus bending_consensus(const Matrix& x, const CurveProtocol& p) {
  // Superimpose, slide every curve once against that consensus with the bending energy of the
  // curve's own consensus points, superimpose the slid sample.
  const Consensus plain = plain_consensus(normalise_rows(x));
  Matrix slid = plain.xpt;
  slide_bending(slid, bending_curves(p, plain.y, false), 1e-06, 30);
  return plain_consensus(slid);
}

}  // namespace tav
