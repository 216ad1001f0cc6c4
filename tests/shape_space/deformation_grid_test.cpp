// The thin-plate spline from the consensus to a target: it passes through the target's points
// and bends the grid only where the shapes differ.
#include <cmath>
#include <gtest/gtest.h>

#include "consensus/consensus.h"
#include "consensus/varied_samples.h"
#include "shape_space/shape_space.h"

namespace tav {
namespace {

struct Pair {
  Row from, to;
};
Pair consensus_and_specimen() {
  const Consensus plain = plain_consensus(test::varied_sample(test::design(), 15, 0.15, 0.02, 5));
  const ShapeSpace s = shape_space_of(plain.xpt, plain.y);
  return {s.consensus, s.configurations.row(4)};
}

TEST(ThinPlateSpline, CarriesEveryPointOfTheConsensusOntoTheTarget) {
  const Pair p = consensus_and_specimen();
  const ThinPlateSpline spline(p.from, p.to);
  for (Index q = 0; q < p.from.size() / 2; ++q) {
    const Eigen::RowVector2d moved =
        spline.at(Eigen::RowVector2d(p.from(2 * q), p.from(2 * q + 1)));
    EXPECT_NEAR(moved(0), p.to(2 * q), 1e-10) << "point " << q + 1;
    EXPECT_NEAR(moved(1), p.to(2 * q + 1), 1e-10) << "point " << q + 1;
  }
}

TEST(DeformationGrid, ATargetEqualToTheConsensusLeavesTheGridStraight) {
  const Pair p = consensus_and_specimen();
  const DeformationGrid same = deformation_grid(p.from, p.from, 12);
  ASSERT_EQ(same.x.rows(), 13);
  EXPECT_LT((same.warped_x - same.x).cwiseAbs().maxCoeff(), 1e-12);
  EXPECT_LT((same.warped_y - same.y).cwiseAbs().maxCoeff(), 1e-12);
  // The grid is square and covers the consensus.
  EXPECT_NEAR(same.x(0, 12) - same.x(0, 0), same.y(12, 0) - same.y(0, 0), 1e-12);
  const DeformationGrid bent = deformation_grid(p.from, p.to, 12);
  EXPECT_GT((bent.warped_x - bent.x).cwiseAbs().maxCoeff(), 1e-3);
}

TEST(DeformationGrid, AnAffineTargetMovesTheGridByTheSameMap) {
  const Pair p = consensus_and_specimen();
  Row sheared = p.from;
  for (Index q = 0; q < p.from.size() / 2; ++q) sheared(2 * q) += 0.3 * p.from(2 * q + 1) + 0.1;
  const DeformationGrid g = deformation_grid(p.from, sheared, 8);
  EXPECT_LT((g.warped_x - (g.x + 0.3 * g.y).array().matrix() - Matrix::Constant(9, 9, 0.1))
                .cwiseAbs()
                .maxCoeff(),
            1e-10);
  EXPECT_LT((g.warped_y - g.y).cwiseAbs().maxCoeff(), 1e-10);
}

// The grids' targets along a component: the shape whose score is the asked number of standard
// deviations on that component and 0 on every other.
TEST(ComponentShape, LiesTheAskedStandardDeviationsAlongItsComponentOnly) {
  const Consensus plain = plain_consensus(test::varied_sample(test::design(), 25, 0.15, 0.02, 8));
  const PrincipalComponents& pc = shape_space_of(plain.xpt, plain.y).components;
  for (const double sds : {-2.0, 0.0, 1.5}) {
    const Row scores = (component_shape(pc, 2, sds) - pc.mean) * pc.loadings;
    for (Index j = 0; j < pc.components(); ++j)
      EXPECT_NEAR(scores(j), j == 1 ? sds * std::sqrt(pc.eigenvalues(1)) : 0.0, 1e-12);
  }
  EXPECT_THROW(component_shape(pc, pc.components() + 1, 2), Error);
  EXPECT_THROW(component_shape(pc, 0, 2), Error);
}

TEST(DeformationGrid, PointsOnOneLineHaveNoSpline) {
  const Row line = row({0, 0, 1, 1, 2, 2, 3, 3});
  EXPECT_THROW(deformation_grid(line, line), Error);
}

}  // namespace
}  // namespace tav
