#include <cmath>

#include "consensus/bending_walk.h"
#include "consensus/consensus.h"
#include "consensus/damped_iteration.h"
#include "consensus/normalise_rows.h"
#include "consensus/spacing_hold.h"
#include "consensus/turn_onto.h"

namespace tav {
namespace {

// 0-based point numbers that fit the rotations of the pre-alignment: the landmarks (curve 0),
// or all k points when there are fewer than three. Empty when the protocol has no curve 0 or
// lists a landmark outside 1..k: the pre-alignment is then left out.
std::vector<Index> prealignment_points(const CurveProtocol& p, Index k) {
  std::vector<Index> pts;
  if (!p.has_code(0)) return pts;
  const std::vector<int>& lms = p.members_of(0);
  for (const int lm : lms) {
    if (lm < 1 || lm > k) return {};
    pts.push_back(lm - 1);
  }
  if (pts.size() < 3) {
    pts.clear();
    for (Index q = 0; q < k; ++q) pts.push_back(q);
  }
  return pts;
}

// Turns every specimen onto the (unscaled) mean of the sample, fitted on the landmarks only,
// until the mean of the landmarks settles within 2^-26 per coordinate of the whole row.
void prealign_on_landmarks(Matrix& x, const CurveProtocol& p) {
  const Index m = x.cols(), k = (m - 1) / 2;
  const std::vector<Index> pts = prealignment_points(p, k);
  if (pts.empty()) return;
  const double tol = std::ldexp(1.0, -26) * static_cast<double>(m - 1);
  // Rotations onto a mean settle quickly; the cap only guards against a sample that never does.
  constexpr int kMaxPasses = 1000;
  Row xref = x.row(0);
  double xd = 1;
  for (int pass = 0; xd > tol && pass < kMaxPasses; ++pass) {
    for (Index i = 0; i < x.rows(); ++i) turn_row_onto(x, i, xref, pts);
    const Row xrefold = xref;
    xref = x.colwise().mean();
    xd = 0;
    for (const Index q : pts)
      xd += std::pow(xref(2 * q) - xrefold(2 * q), 2) +
            std::pow(xref(2 * q + 1) - xrefold(2 * q + 1), 2);
  }
}

}  // namespace

Consensus iterated_bending_consensus(const Matrix& x, const CurveProtocol& p,
                                     IterationObserver& observer) {
  Matrix xs = normalise_rows(x);
  prealign_on_landmarks(xs, p);
  // Every curve slides against the consensus at the start of the pass, with all points outside
  // the curve held fixed where they are in the specimen.
  const auto slide = [&p](Matrix& sample, const Row& xref) {
    slide_bending(sample, bending_curves(p, xref, true), 1e-08, 44);
  };
  const SpacingHold spacing = spacing_hold(p, (x.cols() - 1) / 2);
  const auto hold = [&spacing](const Row& reference, const Row& proposed) {
    return hold_spacing(spacing, reference, proposed);
  };
  return iterate_damped(plain_consensus(xs), slide, hold, observer);
}

}  // namespace tav
