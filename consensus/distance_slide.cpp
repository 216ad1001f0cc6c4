#include "consensus/distance_slide.h"

#include "consensus/curve_walk.h"
#include "consensus/settle.h"
#include "sliding/tangent_rules.h"

namespace tav {

namespace {
// The chord and end-point tangents need two neighbours on open and closed curves alike.
constexpr Index kMinPoints = 3;
constexpr double kTolerancePerElement = 1e-06;
constexpr int kMaxExtraSteps = 30;
}  // namespace

void slide_distance(Matrix& x, const CurveProtocol& p, const Row& reference) {
  const Index k = x.cols() / 2;
  const std::vector<SlidingCurve> curves = sliding_curves(p, k, kMinPoints, kMinPoints);
  std::vector<Row> reference_curves;
  for (const SlidingCurve& c : curves) reference_curves.push_back(curve_row(reference, c));
  walk_curves(x, curves, [&](std::size_t c, const Row& current) {
    const bool closed = curves[c].closed;
    const Row& ref = reference_curves[c];
    const char* held = curves[c].held.data();
    return settle(
        [&](const Row& from, Row& to) { distance_slide_step(ref, from, closed, to, held); },
        current, kTolerancePerElement, kMaxExtraSteps);
  });
}

}  // namespace tav
