#include "consensus/curve_walk.h"

#include <limits>
#include <string>

#include "platform/parallel.h"

namespace tav {

namespace {
void check_members(const std::vector<int>& members, int code, Index k, Index min_open,
                   Index min_closed) {
  const bool closed = code < 0;
  const Index need = closed ? min_closed : min_open;
  const Index q = static_cast<Index>(members.size());
  if (q < need)
    throw Error(
        "curve " + std::to_string(code) + " has " + std::to_string(q) + " point" +
        (q == 1 ? "" : "s") + "; " + (closed ? "a closed" : "an open") + " curve needs at least " +
        std::to_string(need) +
        " to slide (with fewer the slide is not fixed): add points to it in the protocol or "
        "drop the curve");
  for (const int pt : members)
    if (pt < 1 || pt > k)
      throw Error("curve " + std::to_string(code) + " lists point " + std::to_string(pt) +
                  ", but the specimens have points 1 to " + std::to_string(k) +
                  ": correct the protocol or load the matching data");
}
}  // namespace

std::vector<char> landmark_points(const CurveProtocol& p, Index k) {
  std::vector<char> landmark(static_cast<std::size_t>(k) + 1, 0);
  for (std::size_t e = 0; e < p.members.size() && e < p.types.size(); ++e)
    for (std::size_t s = 0; s < p.members[e].size() && s < p.types[e].size(); ++s) {
      const int pt = p.members[e][s];
      if (pt >= 1 && pt <= k && p.types[e][s] == 0) landmark[static_cast<std::size_t>(pt)] = 1;
    }
  return landmark;
}

std::vector<SlidingCurve> sliding_curves(const CurveProtocol& p, Index k, Index min_open,
                                         Index min_closed) {
  std::vector<SlidingCurve> curves;
  const std::vector<char> landmark = landmark_points(p, k);
  for (int j = p.numfull; j <= p.numopen; ++j) {
    if (j == 0) continue;
    const std::vector<int>& members = p.members_of(j);
    check_members(members, j, k, min_open, min_closed);
    SlidingCurve c;
    c.code = j;
    c.closed = j < 0;
    c.columns.reserve(2 * members.size());
    for (const int pt : members) {
      c.columns.push_back(2 * Index{pt} - 2);
      c.columns.push_back(2 * Index{pt} - 1);
      c.held.push_back(landmark[static_cast<std::size_t>(pt)]);
    }
    curves.push_back(std::move(c));
  }
  return curves;
}

Row curve_row(const Eigen::Ref<const Row>& config, const SlidingCurve& curve) {
  Row r(static_cast<Index>(curve.columns.size()));
  for (std::size_t s = 0; s < curve.columns.size(); ++s)
    r(static_cast<Index>(s)) = config(curve.columns[s]);
  return r;
}

void walk_curves(Matrix& x, const std::vector<SlidingCurve>& curves, const CurveSlider& slide) {
  const Index n = x.rows();
  constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
  // Per specimen: the first curve whose slide gave a value that is not a number.
  std::vector<std::size_t> failed(static_cast<std::size_t>(n), kNone);
  parallel_for(n, [&](long i) {
    Row config = x.row(i);
    for (std::size_t c = 0; c < curves.size(); ++c) {
      const Row slid = slide(c, curve_row(config, curves[c]));
      if (!slid.allFinite()) {
        failed[static_cast<std::size_t>(i)] = c;
        return;
      }
      for (std::size_t s = 0; s < curves[c].columns.size(); ++s)
        config(curves[c].columns[s]) = slid(static_cast<Index>(s));
    }
    x.row(i) = config;
  });
  // Report what a walk curve by curve, specimen by specimen would have met first.
  std::size_t worst_curve = kNone;
  Index worst_row = 0;
  for (Index i = 0; i < n; ++i)
    if (failed[static_cast<std::size_t>(i)] < worst_curve)
      worst_curve = failed[static_cast<std::size_t>(i)], worst_row = i;
  if (worst_curve != kNone)
    throw Error("specimen " + std::to_string(worst_row + 1) + ", curve " +
                std::to_string(curves[worst_curve].code) +
                ": sliding gave coordinates that are not numbers, because two neighbouring "
                "points of the curve coincide and leave its tangent undefined; move or remove "
                "the duplicated point");
}

}  // namespace tav
