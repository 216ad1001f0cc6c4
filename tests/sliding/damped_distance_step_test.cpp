#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

#include "sliding/sliding.h"

namespace tav {
namespace {

// A bent open curve of six points and a reference displaced from it in every direction.
const Row kCurve = row({0, 0, 1, 0.2, 2, 0.7, 3, 1.5, 3.6, 2.6, 3.9, 3.8});
const Row kReference = row({0.3, -0.4, 0.8, 0.9, 2.5, 0.1, 2.6, 2.2, 4.4, 2.3, 3.5, 4.6});

Tangent tangent_of(const Row& target, bool closed, Index p) {
  const Matrix u = chord_tangent_basis(target, closed);
  const Index k = target.size() / 2;
  return {u(p - 1, p - 1), u(k + p - 1, p - 1)};
}

// Every point moves along its own tangent, by half the projection of its way to the
// reference point; closed curves keep their first and last listed points.
TEST(DampedDistanceStep, HalfStepAlongEachTangent) {
  for (const bool closed : {false, true}) {
    const Row y = damped_distance_step(kReference, kCurve, closed);
    ASSERT_EQ(y.size(), kCurve.size());
    for (Index p = 1; p <= 6; ++p) {
      const double mx = y(2 * p - 2) - kCurve(2 * p - 2), my = y(2 * p - 1) - kCurve(2 * p - 1);
      if (closed && (p == 1 || p == 6)) {
        EXPECT_EQ(mx, 0.0);
        EXPECT_EQ(my, 0.0);
        continue;
      }
      const Tangent u = tangent_of(kCurve, closed, p);
      const double t = u.x * (kReference(2 * p - 2) - kCurve(2 * p - 2)) +
                       u.y * (kReference(2 * p - 1) - kCurve(2 * p - 1));
      EXPECT_NEAR(mx * u.y - my * u.x, 0.0, 1e-14) << "point " << p << " not along its tangent";
      EXPECT_NEAR(mx * u.x + my * u.y, 0.5 * t, 1e-14) << "point " << p;
    }
  }
}

TEST(DampedDistanceStep, ReferenceOnTheTangentLineIsReachedHalfWay) {
  // Collinear open curve along x: every tangent is ±(1, 0).
  const Row target = row({0, 0, 1, 0, 2, 0, 3, 0});
  const Row reference = row({0.4, 0, 1.6, 0, 1.0, 0, 3.2, 0});
  const Row y = damped_distance_step(reference, target, false);
  EXPECT_LT((y - 0.5 * (target + reference)).cwiseAbs().maxCoeff(), 1e-15);
}

TEST(DampedDistanceStep, PointAtTheFootOfThePerpendicularStays) {
  // Reference points straight above or below their curve points on a line along x.
  const Row target = row({0, 0, 1, 0, 2, 0, 3, 0, 4, 0});
  const Row reference = row({0, 1, 1, -2, 2, 0.5, 3, 3, 4, -1});
  for (const bool closed : {false, true})
    EXPECT_EQ(damped_distance_step(reference, target, closed), target) << "closed " << closed;
}

TEST(DampedDistanceStep, RefusesAShortReferenceOrCurve) {
  EXPECT_THAT([] { damped_distance_step(kReference.head(10), kCurve, false); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("10 coordinates")));
  EXPECT_THAT([] { damped_distance_step(kReference.head(4), kCurve.head(4), false); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("of 2 points is too short")));
}

TEST(DampedDistanceStep, CoincidentNeighboursSpoilOnlyTheirOwnPoint) {
  Row target = kCurve;
  target.segment(4, 2) = target.segment(0, 2);  // point 3 on point 1: point 2's chord is void
  const Row y = damped_distance_step(kReference, target, false);
  EXPECT_TRUE(std::isnan(y(2)) && std::isnan(y(3)));
  EXPECT_TRUE(y.segment(6, 6).allFinite());
}

}  // namespace
}  // namespace tav
