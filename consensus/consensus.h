#pragma once
// Consensus estimation: plain generalised Procrustes superimposition and the sliding schemes.
// x: n×(2k+1) specimen matrix (x1 y1 ... xk yk + trailing value), n >= 1. Every routine works on
// its own copy and returns the consensus row first and the processed sample second.
#include <string>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav {

struct Consensus {
  Row y;       // 1×(2k+1) consensus
  Matrix xpt;  // n×(2k+1) processed sample, trailing values unchanged
};

// Plain iterative Procrustes consensus. Raises Error for an empty sample, an even width, a
// specimen of centroid size 0 (naming its row) or a loop that does not settle.
Consensus plain_consensus(const Matrix& x);

// Procrustes-distance sliding against the plain consensus, one pass.
Consensus distance_consensus(const Matrix& x, const CurveProtocol& p);
// Procrustes-distance sliding onto a user reference xref (used as passed); y = xref.
Consensus distance_consensus_onto(const Matrix& x, const CurveProtocol& p, const Matrix& xref);
// Number of specimens whose best rotation onto xref exceeds `degrees` after centring and
// scaling: such a sample is not superimposed on the reference yet.
int count_unaligned(const Matrix& x, const Matrix& xref, double degrees);

// The slid sample of a run fitted onto its consensus and the consensus replaced by the mean of
// the fitted sample (scaled to unit centroid size), repeated to a fixed point, starting from
// run.y: each returned specimen is its least-squares fit onto the returned consensus, and the
// consensus is the mean of the returned specimens, both to rounding. Trailing values unchanged;
// the consensus's is their mean over the same scale factor as the coordinates.
Consensus refit_to_mean(const Consensus& run);

// Bending-energy sliding, one pass; each curve's energy from its own consensus points.
Consensus bending_consensus(const Matrix& x, const CurveProtocol& p);

// What the iterated run shows the user in every pass, in this order; the engine draws, the
// batch tool reports.
class IterationObserver {
 public:
  virtual ~IterationObserver() = default;
  // The slid sample is about to be superimposed.
  virtual void before_superimpose() {}
  // devref: the pass's change of the consensus before damping (squared, over 2k coordinates).
  virtual void pass_measured(double devref, int pass) { (void)devref, (void)pass; }
  // x: the sample as superimposed in this pass; xref: the reference the next pass slides
  // against, or on the last pass the consensus returned.
  virtual void pass_done(const Matrix& x, const Row& xref, int pass) {
    (void)x, (void)xref, (void)pass;
  }
  // The run ended at its pass limit; text says so.
  virtual void not_converged(const std::string& text) { (void)text; }
  // The run ended where its change stopped shrinking above the tolerance, keeping the pass
  // with the smallest change; text says which and why.
  virtual void settled(const std::string& text) { (void)text; }
};

// Iterated, damped bending-energy consensus (at most 100 passes), with landmark pre-alignment;
// each curve slides with every other point of the specimen held fixed where it is. Each pass's
// new consensus keeps its semi-landmarks' places along its own curves (spacing_hold.h). The
// consensus returned is the kept pass's mean of the sample as superimposed in that pass: the
// last pass's, or where the change stopped shrinking, the pass with the smallest change.
Consensus iterated_bending_consensus(const Matrix& x, const CurveProtocol& p,
                                     IterationObserver& observer);

}  // namespace tav
