#include <string>

#include "consensus/consensus.h"
#include "consensus/curve_walk.h"
#include "consensus/distance_slide.h"
#include "consensus/normalise_rows.h"

namespace tav {

Consensus distance_consensus_onto(const Matrix& x, const CurveProtocol& p, const Matrix& xref) {
  Matrix xs = normalise_rows(x);
  const Index k = xs.cols() / 2;
  if (xref.size() < 2 * k)
    throw Error("reference configuration: it has " + std::to_string(xref.size()) +
                " numbers, but the specimens' " + std::to_string(k) + " points need " +
                std::to_string(2 * k) + "; load a reference that matches the data");
  // The reference is used as passed, read in column order: no centring, scaling or turning.
  const Row reference = xref.reshaped().transpose();
  slide_distance(xs, p, reference);
  return {reference, xs};
}

}  // namespace tav
