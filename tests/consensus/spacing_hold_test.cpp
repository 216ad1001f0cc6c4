#include "consensus/spacing_hold.h"

#include <cmath>
#include <gtest/gtest.h>

#include "geometry/geometry.h"
#include "support/test_support.h"

namespace tav {
namespace {

// Eight points: landmark 1 at the origin; a closed curve -1 of points 2 3 4 5 around it (a
// square on its corners); an open curve 1 from point 2 through 6 and 7 to landmark 8, which
// shares point 2 with the closed curve.
CurveProtocol two_curves() {
  CurveProtocol p;
  p.numfull = -1;
  p.numopen = 1;
  p.members = {{2, 3, 4, 5}, {1}, {2, 6, 7, 8}};
  p.types = {{1, 1, 1, 1}, {0}, {1, 1, 1, 0}};
  return p;
}

Row configuration(std::initializer_list<double> xy) {
  Row r(static_cast<Index>(xy.size()) + 1);
  Index i = 0;
  for (const double v : xy) r(i++) = v;
  r(i) = 7;  // a trailing value
  return r;
}

// What hold_spacing returns for a held configuration: centred, of unit size.
Row unit(Row r) {
  const Index k = (r.size() - 1) / 2;
  const Eigen::RowVector2d c = centroid_of(r);
  for (Index q = 0; q < k; ++q) r(2 * q) -= c(0), r(2 * q + 1) -= c(1);
  r.head(2 * k) /= r.head(2 * k).norm();
  return r;
}

TEST(HoldSpacing, KeepsOnlyTheChangeAcrossTheCurveAtEveryPointThatSlides) {
  const Row reference = configuration({0, 0, 1, 0, 0, 1, -1, 0, 0, -1, 2, 0, 3, 0, 4, 1});
  Row change = Row::Zero(reference.size());
  const auto move = [&change](Index point, double dx, double dy) {
    change(2 * point - 2) = dx, change(2 * point - 1) = dy;
  };
  move(1, 0.05, 0.05);  // landmark: whole change
  move(2, 0.1, 0.2);    // on both curves; the closed one's chord (5 to 3) is vertical
  move(3, 0.3, 0.1);    // chord 2 to 4 horizontal
  move(6, 0.3, 0.4);    // interior of the open curve: chord 2 to 7 horizontal
  move(7, 0.1, 0.0);    // chord 6 to 8 along (2, 1)
  move(8, -0.2, 0.1);   // landmark at the open curve's end: whole change
  Row expected = reference;
  const auto at = [&expected, &reference](Index point, double dx, double dy) {
    expected(2 * point - 2) = reference(2 * point - 2) + dx;
    expected(2 * point - 1) = reference(2 * point - 1) + dy;
  };
  at(1, 0.05, 0.05);
  at(2, 0.1, 0);
  at(3, 0, 0.1);
  at(6, 0, 0.4);
  // Point 7: normal (-1, 2)/sqrt(5); (0.1, 0)·that = -0.1/sqrt(5).
  at(7, 0.02, -0.04);
  at(8, -0.2, 0.1);
  const Row held = hold_spacing(spacing_hold(two_curves(), 8), reference, reference + change);
  EXPECT_LT(test::max_abs_diff(held, unit(expected)), 1e-15);
  EXPECT_EQ(held(16), 7 + change(16));
}

TEST(HoldSpacing, OpenCurveEndsTakeTheirOneNeighbourAndZeroChordsTheWholeChange) {
  CurveProtocol p;
  p.numfull = 0;
  p.numopen = 1;
  p.members = {{}, {1, 2, 3}};
  p.types = {{}, {1, 1, 2}};  // a helper point slides like a semi-landmark
  // Point 1 and point 3 lie on one spot: the chord of point 2 has no direction.
  const Row reference = configuration({0, 0, 1, 1, 0, 0});
  const Row proposed = configuration({0.1, 0.2, 1.3, 0.7, -0.2, 0.4});
  Row expected = proposed;
  // Point 1: chord 1 to 2 along (1, 1); normal (-1, 1)/sqrt(2); (0.1, 0.2)·that = 0.1/sqrt(2).
  expected(0) = -0.05, expected(1) = 0.05;
  // Point 3: chord 2 to 3 along (-1, -1); normal (1, -1)/sqrt(2); (-0.2, 0.4)·that = -0.6/sqrt(2).
  expected(4) = -0.3, expected(5) = 0.3;
  const Row held = hold_spacing(spacing_hold(p, 3), reference, proposed);
  EXPECT_LT(test::max_abs_diff(held, unit(expected)), 1e-15);
}

TEST(HoldSpacing, LandmarksOnlyOrNoCurvesTakeTheWholeChange) {
  CurveProtocol p;  // code 0 alone
  p.members = {{1, 2, 3}};
  p.types = {{0, 0, 0}};
  const Row reference = unit(configuration({0, 0, 1, 0, 0, 1}));
  const Row proposed = unit(configuration({0.1, 0, 1, 0.1, 0, 1.2}));
  EXPECT_LT(test::max_abs_diff(hold_spacing(spacing_hold(p, 3), reference, proposed), proposed),
            1e-15);
}

}  // namespace
}  // namespace tav
