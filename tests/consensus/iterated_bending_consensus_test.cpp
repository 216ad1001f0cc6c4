#include <algorithm>
#include <cmath>
#include <complex>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "consensus/bending_samples.h"
#include "consensus/bending_walk.h"
#include "consensus/consensus.h"
#include "consensus/damped_iteration.h"
#include "consensus/normalise_rows.h"
#include "consensus/sample_fixture.h"
#include "consensus/spacing_hold.h"
#include "consensus/varied_samples.h"
#include "platform/format.h"
#include "support/test_support.h"

namespace tav {
namespace {

// Everything the run shows, in order.
struct Recorder : IterationObserver {
  struct Pass {
    double devref = 0;
    int started = 0, done = 0;
    bool superimposed = false;
    Matrix x;
    Row xref;
  };
  std::vector<Pass> passes;
  std::vector<std::string> events, failures, settled_texts;
  void before_superimpose() override {
    passes.push_back({0, 0, 0, true, {}, {}});
    events.push_back("superimpose");
  }
  void pass_measured(double devref, int pass) override {
    passes.back().devref = devref;
    passes.back().started = pass;
    events.push_back("measured " + std::to_string(pass));
  }
  void pass_done(const Matrix& x, const Row& xref, int pass) override {
    passes.back().done = pass;
    passes.back().x = x;
    passes.back().xref = xref;
    events.push_back("done " + std::to_string(pass));
  }
  void not_converged(const std::string& text) override { failures.push_back(text); }
  void settled(const std::string& text) override { settled_texts.push_back(text); }
  // The pass with the smallest change (0-based).
  std::size_t smallest_change() const {
    std::size_t best = 0;
    for (std::size_t i = 1; i < passes.size(); ++i)
      if (passes[i].devref < passes[best].devref) best = i;
    return best;
  }
};

// The consensus the superimposition of a pass produced: the unit-size mean of its sample.
Row consensus_of(const Matrix& x) {
  const Row mean = x.colwise().mean();
  return mean / mean.head(mean.size() - 1).norm();
}

CurveProtocol without_landmark_code(CurveProtocol p) {
  // Only the closed curve: code 0 does not exist, so the landmark pre-alignment is left out.
  p.numopen = -1;
  p.members.resize(1);
  p.types.resize(1);
  return p;
}

TEST(IteratedBendingConsensus, ShowsEveryPassInOrderAndConvergesOnASample) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 12, 0.02, 5);
  Recorder rec;
  const Consensus c = iterated_bending_consensus(x, d.protocol, rec);
  ASSERT_FALSE(rec.passes.empty());
  EXPECT_TRUE(rec.failures.empty());
  const Index k = (x.cols() - 1) / 2;
  for (std::size_t i = 0; i < rec.passes.size(); ++i) {
    const int pass = static_cast<int>(i) + 1;
    EXPECT_EQ(rec.passes[i].started, pass);
    EXPECT_EQ(rec.passes[i].done, pass);
    EXPECT_EQ(rec.events[3 * i], "superimpose");
    EXPECT_EQ(rec.events[3 * i + 1], "measured " + std::to_string(pass));
    EXPECT_EQ(rec.events[3 * i + 2], "done " + std::to_string(pass));
    if (i + 1 < rec.passes.size()) {
      EXPECT_GT(rec.passes[i].devref, 1e-05);  // the run goes on only above ctol
    }
  }
  EXPECT_LE(rec.passes.back().devref, 1e-05);
  // Converged: the result is the last pass's consensus, the mean of its superimposed sample.
  EXPECT_EQ(c.y, rec.passes.back().xref);
  EXPECT_EQ(c.xpt, rec.passes.back().x);
  EXPECT_LT(test::max_abs_diff(c.y, consensus_of(c.xpt)), 1e-12);
  EXPECT_EQ(c.xpt.col(2 * k), x.col(2 * k));
}

// Replays the run from what it showed: each pass's mean xref2 is the unit-size mean of the
// sample it superimposed, and the pass keeps xref3 = hold(reference, xref2); devref is the
// squared change from the reference the pass slid against to xref3, before any damping; the
// next reference moves 0.25 of the way to xref3 (devref above 0.001) or half of it (above
// 1e-06; a smaller devref is below ctol and ends the run); the last pass returns xref2 itself.
void expect_damped_by_each_pass_change(const Recorder& rec, Row reference,
                                       const ConsensusHold& hold) {
  const Index m = reference.size();
  for (std::size_t i = 0; i < rec.passes.size(); ++i) {
    const Recorder::Pass& pass = rec.passes[i];
    const Row xref2 = consensus_of(pass.x), xref3 = hold(reference, xref2);
    EXPECT_NEAR(pass.devref, (reference - xref3).head(m - 1).squaredNorm(),
                1e-12 * (1 + pass.devref))
        << "pass " << pass.started;
    const bool last = i + 1 == rec.passes.size();
    const double w = last ? 0.0 : pass.devref > 0.001 ? 0.75 : 0.5;
    EXPECT_LT(test::max_abs_diff(pass.xref, w * reference + (1 - w) * (last ? xref2 : xref3)),
              1e-12)
        << "pass " << pass.started;
    reference = pass.xref;
  }
}

TEST(IteratedBendingConsensus, DampsByTheChangeOfEachPassBeforeDamping) {
  const CurveProtocol p = without_landmark_code(test::leaf_protocol());
  // Every other specimen has its outline points placed further round the blade, so that the
  // slide moves the consensus by more than the tolerance in its first passes.
  std::vector<test::LeafSpecimen> sps = test::leaf_specimens(12, 17);
  for (std::size_t i = 0; i < sps.size(); i += 2)
    for (double& s : sps[i].s) s += 0.03;
  const Matrix x = test::leaf_sample(sps);
  Recorder rec;
  iterated_bending_consensus(x, p, rec);
  ASSERT_GE(rec.passes.size(), 2u) << "the case damps at least once";
  // With no pre-alignment the run starts from the plain consensus of the sample; every pass
  // holds the spacing of the consensus's outline points.
  const SpacingHold spacing = spacing_hold(p, (x.cols() - 1) / 2);
  expect_damped_by_each_pass_change(rec, plain_consensus(normalise_rows(x)).y,
                                    [&](const Row& reference, const Row& proposed) {
                                      return hold_spacing(spacing, reference, proposed);
                                    });
}

// A slide whose push on the sample fades pass by pass: the changes fall through both damping
// bands (above 0.001, then between 1e-06 and 0.001) before the run stops below 1e-05.
TEST(IterateDamped, DampsByBandsAndReturnsTheLastPassConsensus) {
  const test::Design d = test::design();
  const Consensus start = plain_consensus(normalise_rows(test::sample(d, 6, 0.02, 2)));
  double push = 0.4;
  const SampleSlider fading = [&push](Matrix& x, const Row&) {
    x.col(0).array() += push;
    push *= -0.3;
  };
  Recorder rec;
  const Consensus c = iterate_damped(start, fading, whole_change, rec);
  ASSERT_GE(rec.passes.size(), 3u);
  EXPECT_GT(rec.passes.front().devref, 0.001);
  EXPECT_TRUE(std::any_of(rec.passes.begin(), rec.passes.end() - 1, [](const Recorder::Pass& p) {
    return p.devref > 1e-06 && p.devref <= 0.001;
  }));
  expect_damped_by_each_pass_change(rec, start.y, whole_change);
  EXPECT_TRUE(rec.failures.empty());
  EXPECT_EQ(c.y, rec.passes.back().xref);
  EXPECT_LT(test::max_abs_diff(c.y, consensus_of(c.xpt)), 1e-12);
}

// A slide that moves nothing changes no shape: the first pass measures no change, whichever
// specimen comes first (the plain consensus of a pass starts from its first specimen and so
// comes out turned; a turn is not a change of the consensus).
TEST(IterateDamped, ATurnOfTheNewConsensusIsNoChange) {
  const Matrix x = normalise_rows(test::sample(test::design(), 9, 0.05, 11));
  for (const Index first : {0, 4, 8}) {
    Matrix y = x;
    y.row(0).swap(y.row(first));
    const SampleSlider still = [](Matrix&, const Row&) {};
    Recorder rec;
    iterate_damped(plain_consensus(y), still, whole_change, rec);
    ASSERT_EQ(rec.passes.size(), 1u) << "first specimen " << first + 1;
    EXPECT_LT(rec.passes[0].devref, 1e-20) << "first specimen " << first + 1;
  }
}

TEST(IteratedBendingConsensus, LandmarkPreAlignmentDoesNotNeedCodeZero) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 8, 0.02, 3);
  Recorder with, without;
  const Consensus a = iterated_bending_consensus(x, d.protocol, with);
  const Consensus b = iterated_bending_consensus(x, without_landmark_code(d.protocol), without);
  EXPECT_TRUE(all_finite(a.xpt) && all_finite(b.xpt));
  EXPECT_TRUE(with.failures.empty() && without.failures.empty());
}

// A slide that never lets the consensus settle, though its change shrinks a little in every
// pass: every specimen is put where the reference is, with point 1 moved off it. The run stops
// after the 100th pass, says so once, and returns that pass's results.
TEST(IterateDamped, GivesUpAfterTheHundredthPass) {
  const test::Design d = test::design();
  const Consensus start = plain_consensus(normalise_rows(test::sample(d, 6, 0.02, 2)));
  int calls = 0;
  const SampleSlider jolt = [&calls](Matrix& x, const Row& xref) {
    ++calls;
    const Index m = x.cols();
    for (Index i = 0; i < x.rows(); ++i) x.row(i).head(m - 1) = xref.head(m - 1);
    x.col(0).array() += 0.05 * std::pow(0.99, calls);
  };
  Recorder rec;
  const Consensus c = iterate_damped(start, jolt, whole_change, rec);
  EXPECT_EQ(calls, 100);
  ASSERT_EQ(rec.passes.size(), 100u);
  EXPECT_TRUE(rec.settled_texts.empty());
  EXPECT_EQ(rec.passes.back().done, 100);
  EXPECT_THAT(rec.failures, ::testing::ElementsAre("Failure to converge after 100 iterations"));
  EXPECT_EQ(c.y, rec.passes.back().xref);
  EXPECT_EQ(c.xpt, rec.passes.back().x);
}

// A slide whose push first fades, then grows again: the change stops shrinking above the
// tolerance. Three passes after the smallest change the run ends, keeps that pass's results
// and says so.
TEST(IterateDamped, KeepsThePassWithTheSmallestChangeWhereTheChangeStopsShrinking) {
  const test::Design d = test::design();
  const Consensus start = plain_consensus(normalise_rows(test::sample(d, 6, 0.02, 2)));
  const std::vector<double> pushes = {0.2, 0.05, 0.01, 0.03, 0.06, 0.1, 0.2, 0.3};
  std::size_t calls = 0;
  const SampleSlider swing = [&](Matrix& x, const Row&) {
    x.col(0).array() += pushes[std::min(calls++, pushes.size() - 1)];
  };
  Recorder rec;
  const Consensus c = iterate_damped(start, swing, whole_change, rec);
  const std::size_t best = rec.smallest_change();
  ASSERT_EQ(rec.passes.size(), best + 4) << "three passes after the smallest change";
  EXPECT_GT(rec.passes[best].devref, 1e-05);
  for (std::size_t i = best + 1; i < rec.passes.size(); ++i)
    EXPECT_GT(rec.passes[i].devref, rec.passes[best].devref);
  EXPECT_TRUE(rec.failures.empty());
  const std::string pass = std::to_string(best + 1);
  EXPECT_THAT(rec.settled_texts,
              ::testing::ElementsAre("the consensus settled at pass " + pass +
                                     " with a change of " + g_text(rec.passes[best].devref) +
                                     " per pass, above the tolerance 1e-5; later passes only "
                                     "moved semi-landmarks along their curves; the results of "
                                     "pass " +
                                     pass + " are kept"));
  // That pass's superimposed sample, and its mean as the consensus.
  EXPECT_EQ(c.xpt, rec.passes[best].x);
  EXPECT_LT(test::max_abs_diff(c.y, consensus_of(c.xpt)), 1e-12);
}

// The slide of the iterated run, to continue a run from its results.
SampleSlider bending_slide(const CurveProtocol& p) {
  return [&p](Matrix& sample, const Row& xref) {
    slide_bending(sample, bending_curves(p, xref, true), 1e-08, 44);
  };
}

ConsensusHold held_spacing(const CurveProtocol& p, Index k) {
  return [spacing = spacing_hold(p, k)](const Row& reference, const Row& proposed) {
    return hold_spacing(spacing, reference, proposed);
  };
}

// Outlines whose shape varies from specimen to specimen, as on real samples. Sliding against
// a consensus re-estimated in every pass, the semi-landmarks of the specimens and of the
// consensus crept together along their curves and the change per pass wandered about 2e-5 for
// all 100 passes. With the consensus's spacing held, the run converges within a few passes,
// and continued from its results the change keeps shrinking.
TEST(IteratedBendingConsensus, ARealLikeSampleConvergesAndKeepsConverging) {
  const test::Design d = test::design();
  const Matrix x = distance_consensus(test::varied_sample(d, 20, 0.15, 0.04, 7), d.protocol).xpt;
  Recorder rec;
  const Consensus c = iterated_bending_consensus(x, d.protocol, rec);
  EXPECT_TRUE(rec.failures.empty() && rec.settled_texts.empty());
  ASSERT_LE(rec.passes.size(), 10u);
  const double last = rec.passes.back().devref;
  EXPECT_LE(last, 1e-05);
  RecordProperty("passes", static_cast<int>(rec.passes.size()));

  const Index k = (x.cols() - 1) / 2;
  Recorder more;
  iterate_damped(c, bending_slide(d.protocol), held_spacing(d.protocol, k), more);
  ASSERT_FALSE(more.passes.empty());
  EXPECT_LT(more.passes.front().devref, last);
}

// A closed outline without a landmark (a sand grain) can still turn its points along itself:
// the run ends where its change stops shrinking, long before the pass limit, with the pass of
// the smallest change.
TEST(IteratedBendingConsensus, AClosedOutlineWithoutLandmarksEndsWhereItsChangeStopsShrinking) {
  const CurveProtocol p = test::grain_protocol(50);
  const Matrix x = distance_consensus(test::grain_sample(30, 50, 0.3, 0.3, 5), p).xpt;
  Recorder rec;
  const Consensus c = iterated_bending_consensus(x, p, rec);
  EXPECT_TRUE(rec.failures.empty());
  ASSERT_EQ(rec.settled_texts.size(), 1u);
  EXPECT_LT(rec.passes.size(), 100u);
  const std::size_t best = rec.smallest_change();
  EXPECT_EQ(rec.passes.size(), best + 4);
  EXPECT_THAT(rec.settled_texts[0],
              ::testing::StartsWith("the consensus settled at pass " + std::to_string(best + 1)));
  EXPECT_EQ(c.xpt, rec.passes[best].x);
  EXPECT_LT(test::max_abs_diff(c.y, consensus_of(c.xpt)), 1e-12);
}

// With fewer than three landmarks the pre-alignment fits its rotations on all points.
TEST(IteratedBendingConsensus, FewerThanThreeLandmarksAlignOnAllPoints) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 8, 0.02, 13);
  const auto run = [&](std::vector<int> landmarks) {
    CurveProtocol p = d.protocol;
    p.members[static_cast<std::size_t>(-p.numfull)] = std::move(landmarks);
    Recorder rec;
    return iterated_bending_consensus(x, p, rec);
  };
  const Consensus none = run({}), two = run({1, 2}), four = run({1, 2, 3, 4});
  EXPECT_EQ(two.y, none.y);
  EXPECT_EQ(two.xpt, none.xpt);
  EXPECT_NE(four.xpt, none.xpt);
}

TEST(IteratedBendingConsensus, ResultsDoNotDependOnTheThreadCount) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 30, 0.03, 21);
  const auto [one, two] = test::on_one_and_two_threads([&] {
    Recorder r;
    const Consensus c = iterated_bending_consensus(x, d.protocol, r);
    return std::pair{c, r.passes.size()};  // the result and the passes it took
  });
  EXPECT_EQ(one.first.y, two.first.y);
  EXPECT_EQ(one.first.xpt, two.first.xpt);
  EXPECT_EQ(one.second, two.second);
}

// Distance of point q from the polyline through the rows of `line` (closed).
double distance_to_outline(const Eigen::RowVector2d& q, const Matrix& line) {
  double best = INFINITY;
  for (Index i = 0; i < line.rows(); ++i) {
    const Eigen::RowVector2d a = line.row(i), b = line.row((i + 1) % line.rows());
    const double t = std::clamp((q - a).dot(b - a) / (b - a).squaredNorm(), 0.0, 1.0);
    best = std::min(best, (q - (a + t * (b - a))).norm());
  }
  return best;
}

// The similarity that takes the landmarks of `from` (row of the input) onto those of `to`.
struct Similarity {
  std::complex<double> a, b;  // z -> a z + b
  Eigen::RowVector2d operator()(const Eigen::RowVector2d& p) const {
    const std::complex<double> z = a * std::complex<double>(p(0), p(1)) + b;
    return {z.real(), z.imag()};
  }
};

Similarity landmark_fit(const Row& from, const Row& to, int landmarks) {
  std::complex<double> mf, mt;
  for (int p = 0; p < landmarks; ++p)
    mf += std::complex<double>(from(2 * p), from(2 * p + 1)),
        mt += std::complex<double>(to(2 * p), to(2 * p + 1));
  mf /= double(landmarks);
  mt /= double(landmarks);
  std::complex<double> num, den;
  for (int p = 0; p < landmarks; ++p) {
    const std::complex<double> f = std::complex<double>(from(2 * p), from(2 * p + 1)) - mf;
    const std::complex<double> t = std::complex<double>(to(2 * p), to(2 * p + 1)) - mt;
    num += std::conj(f) * t;
    den += std::conj(f) * f;
  }
  const std::complex<double> a = num / den;
  return {a, mt - a * mf};
}

// Issue-12 behaviour: each curve slides with the rest of the specimen held where it is. On a
// leaf outline the semi-landmarks stay on their outline and spread like the one-pass run's.
TEST(IteratedBendingConsensus, LeafOutlineKeepsItsSemiLandmarksSpreadAlongTheOutline) {
  const std::vector<test::LeafSpecimen> sps = test::leaf_specimens(12, 17);
  const Matrix x = test::leaf_sample(sps);
  const CurveProtocol p = test::leaf_protocol();
  Recorder rec;
  const Consensus iter = iterated_bending_consensus(x, p, rec);
  const Consensus once = bending_consensus(x, p);
  EXPECT_TRUE(rec.failures.empty()) << rec.passes.size() << " passes";
  EXPECT_LT(rec.passes.size(), 100u);

  double worst_off = 0, worst_ratio = 1;
  for (Index i = 0; i < x.rows(); ++i) {
    const Similarity to_run = landmark_fit(x.row(i), iter.xpt.row(i), 3);
    Matrix outline(400, 2);
    for (Index s = 0; s < outline.rows(); ++s)
      outline.row(s) = to_run(
          test::placed(sps[static_cast<std::size_t>(i)],
                       test::leaf_point(double(s) / 400, sps[static_cast<std::size_t>(i)].width)));
    for (int j = 0; j < test::kLeafCurve; ++j) {
      const Index a = 3 + j, b = 3 + (j + 1) % test::kLeafCurve;
      worst_off = std::max(worst_off, distance_to_outline(iter.xpt.block(i, 2 * a, 1, 2), outline));
      const double gap_iter =
          (iter.xpt.block(i, 2 * a, 1, 2) - iter.xpt.block(i, 2 * b, 1, 2)).norm();
      const double gap_once =
          (once.xpt.block(i, 2 * a, 1, 2) - once.xpt.block(i, 2 * b, 1, 2)).norm();
      const double ratio = gap_iter / gap_once;
      worst_ratio = std::max({worst_ratio, ratio, 1 / ratio});
    }
  }
  RecordProperty("passes", static_cast<int>(rec.passes.size()));
  EXPECT_LT(worst_off, 0.01) << "a semi-landmark left its outline";
  EXPECT_LT(worst_ratio, 3.0) << "neighbour spacing differs from the one-pass run's";
}

}  // namespace
}  // namespace tav
