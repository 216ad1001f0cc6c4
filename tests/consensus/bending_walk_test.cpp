#include "consensus/bending_walk.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "consensus/bending_samples.h"
#include "consensus/consensus.h"
#include "consensus/normalise_rows.h"
#include "support/test_support.h"

namespace tav {
namespace {

struct Superimposed {
  Row xref;
  Matrix x;
};

Superimposed leaf_run_start(int n, unsigned seed) {
  const Consensus c =
      plain_consensus(normalise_rows(test::leaf_sample(test::leaf_specimens(n, seed))));
  return {c.y, c.xpt};
}

// A specimen that is an affine image of the consensus has zero bending energy: with the other
// points held fixed its curve is at the minimum and must not move. Leaving the fixed points out
// of the energy (the curve block alone) pulls the same curve.
TEST(SlideBending, ACurveAtTheMinimumWithTheOtherPointsFixedDoesNotMove) {
  const Superimposed s = leaf_run_start(6, 2);
  const Index k = (s.xref.size() - 1) / 2;
  Matrix x(1, s.xref.size());
  for (Index p = 0; p < k; ++p) {
    x(0, 2 * p) = 1.1 * s.xref(2 * p) + 0.2 * s.xref(2 * p + 1) + 0.3;
    x(0, 2 * p + 1) = -0.1 * s.xref(2 * p) + 0.8 * s.xref(2 * p + 1) - 0.2;
  }
  x(0, 2 * k) = 5;
  const std::vector<BendingCurve> whole = bending_curves(test::leaf_protocol(), s.xref, true);
  Matrix slid = x;
  slide_bending(slid, whole, 1e-08, 44);
  EXPECT_LT(test::max_abs_diff(slid, x), 1e-10);

  std::vector<BendingCurve> block_only = whole;
  for (BendingCurve& c : block_only) c.coupling.resize(0, 0);
  Matrix pulled = x;
  slide_bending(pulled, block_only, 1e-08, 44);
  EXPECT_GT(test::max_abs_diff(pulled, x), 1e-3);
}

// Settled by repeated walks, a curve stays put in one more walk: the walk's fixed point is the
// minimum of the energy along the tangents with the other points where they are.
TEST(SlideBending, ASettledCurveStaysPut) {
  const Superimposed s = leaf_run_start(4, 6);
  const std::vector<BendingCurve> whole = bending_curves(test::leaf_protocol(), s.xref, true);
  Matrix x = s.x;
  // Tolerance 0: every walk makes all 46 damped steps, 0.9 of the distance left each.
  for (int walk = 0; walk < 20; ++walk) slide_bending(x, whole, 0, 44);
  Matrix again = x;
  slide_bending(again, whole, 1e-08, 44);
  EXPECT_LT(test::max_abs_diff(again, x), 1e-12);
  EXPECT_GT(test::max_abs_diff(x, s.x), 1e-3);
}

TEST(SlideBending, NamesTheFirstFailingSpecimenAndCurve) {
  const Superimposed s = leaf_run_start(5, 3);
  const std::vector<BendingCurve> curves = bending_curves(test::leaf_protocol(), s.xref, false);
  Matrix x = s.x;
  x(3, 2 * 7) = NAN;  // point 8 of specimen 4, on curve -1
  x(4, 2 * 9) = NAN;
  try {
    slide_bending(x, curves, 1e-06, 30);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("specimen 4, curve -1"));
  }
}

TEST(BendingCurves, ACollinearConsensusCurveIsNamed) {
  CurveProtocol p = test::leaf_protocol();
  Row xref = leaf_run_start(3, 1).xref;
  for (int j = 0; j < 6; ++j) xref(2 * (3 + j) + 1) = 0;  // curve points 4..9 on the x axis
  p.numopen = 1;
  p.members.push_back({4, 5, 6, 7, 8, 9});
  p.types.push_back(std::vector<double>(6, 1.0));
  try {
    bending_curves(p, xref, false);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("curve 1: "));
    EXPECT_THAT(e.what(), ::testing::HasSubstr("straight line"));
  }
}

}  // namespace
}  // namespace tav
