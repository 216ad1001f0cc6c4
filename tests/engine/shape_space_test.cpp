// The shape space of a session: of the plain consensus after a Load, of the run's results after
// a run, with the record of how far the run slid each point.
#include <gtest/gtest.h>

#include "consensus/consensus.h"
#include "engine/engine.h"
#include "engine/session.h"
#include "platform/console.h"

namespace tav {
namespace {

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

class SessionShapeSpace : public ::testing::Test {
 protected:
  void SetUp() override {
    capture = std::make_unique<ConsoleCapture>();
    load_sample(session, kExamples + "shells.txt");
  }
  void run_in(RunMode mode) {
    RunObserver quiet;
    run(session, RunOptions{mode}, quiet);
  }
  Session session;
  std::unique_ptr<ConsoleCapture> capture;
};

TEST_F(SessionShapeSpace, AfterALoadItIsThePlainConsensusShapeSpaceAndNothingSlid) {
  const ShapeSpace s = shape_space(session);
  const Consensus plain = plain_consensus(session.state.loaded.rows);
  const ShapeSpace expected = shape_space_of(plain.xpt, plain.y);
  EXPECT_LT((s.distances - expected.distances).cwiseAbs().maxCoeff(), 1e-12);
  EXPECT_LT((s.components.eigenvalues - expected.components.eigenvalues).cwiseAbs().maxCoeff(),
            1e-15);
  EXPECT_EQ(s.centroid_sizes, session.state.loaded.centroid_sizes);
  EXPECT_EQ(s.slides.slides.rows(), session.state.loaded.specimens());
  EXPECT_EQ(s.slides.slides.cwiseAbs().maxCoeff(), 0.0);
}

TEST_F(SessionShapeSpace, ASlidingRunRecordsSlidesOfItsSemilandmarksOnlyAndAPlainRunNone) {
  load_protocol(session, kExamples + "shells_protocol.txt");
  run_in(RunMode::bending);
  const ShapeSpace slid = shape_space(session);
  for (Index p = 1; p <= session.state.loaded.points(); ++p) {
    const PointSlide& point = slid.slides.points[static_cast<size_t>(p - 1)];
    if (session.state.protocol.kind_of(p) == PointKind::landmark)
      EXPECT_EQ(point.largest, 0.0) << "landmark " << p;
    else
      EXPECT_GT(point.largest, 1e-6) << "point " << p;
  }
  // The run's consensus is the shape space's: the distances are to it.
  const ShapeSpace direct = shape_space_of(session.state.sample, session.state.reference.row(0));
  EXPECT_LT((slid.distances - direct.distances).cwiseAbs().maxCoeff(), 1e-15);

  run_in(RunMode::plain);
  EXPECT_EQ(shape_space(session).slides.slides.cwiseAbs().maxCoeff(), 0.0);
}

TEST(SessionShapeSpaceRefusal, WithoutASampleThereIsNothingToAnalyse) {
  Session empty;
  EXPECT_THROW(shape_space(empty), Error);
}

}  // namespace
}  // namespace tav
