#include <algorithm>
#include <cmath>
#include <limits>

#include "shape_space/shape_space.h"

namespace tav {
namespace {

// Each point's curve and half the gap to its nearer neighbour along any curve that lists it,
// in the consensus of unit size; closed curves (negative codes) wrap round.
std::vector<PointSlide> curve_places(const Row& consensus, Index k, const CurveProtocol& curves,
                                     const std::vector<int>& kinds) {
  if (static_cast<Index>(kinds.size()) != k)
    throw Error("slide record: " + std::to_string(kinds.size()) + " point kinds for " +
                std::to_string(k) + " points");
  const Row mu = unit_size_rows(consensus, k).row(0);
  const auto gap = [&](int a, int b) {  // 1-based points
    return std::hypot(mu(2 * (a - 1)) - mu(2 * (b - 1)), mu(2 * (a - 1) + 1) - mu(2 * (b - 1) + 1));
  };
  std::vector<PointSlide> points(static_cast<size_t>(k));
  std::vector<double> nearest(static_cast<size_t>(k), std::numeric_limits<double>::infinity());
  for (Index p = 0; p < k; ++p) points[static_cast<size_t>(p)].kind = kinds[static_cast<size_t>(p)];
  for (int j = curves.numfull; j <= curves.numopen; ++j) {
    if (j == 0 || !curves.has_code(j)) continue;
    const std::vector<int>& members = curves.members_of(j);
    const auto q = static_cast<int>(members.size());
    for (int at = 0; at < q; ++at) {
      const int p = members[static_cast<size_t>(at)];
      if (p < 1 || p > k) continue;
      PointSlide& place = points[static_cast<size_t>(p - 1)];
      if (place.curve == 0 && place.kind != 0) place.curve = j;
      for (const int step : {-1, 1}) {
        int other = at + step;
        if (j < 0) other = (other + q) % q;
        if (other < 0 || other >= q || other == at) continue;
        const int o = members[static_cast<size_t>(other)];
        if (o >= 1 && o <= k)
          nearest[static_cast<size_t>(p - 1)] =
              std::min(nearest[static_cast<size_t>(p - 1)], gap(p, o));
      }
    }
  }
  for (Index p = 0; p < k; ++p)
    if (std::isfinite(nearest[static_cast<size_t>(p)]))
      points[static_cast<size_t>(p)].half_gap = 0.5 * nearest[static_cast<size_t>(p)];
  return points;
}

// The points the similarity is fitted over: the landmarks, or every point when fewer than two.
std::vector<Index> fitted_points(const std::vector<int>& kinds) {
  std::vector<Index> landmarks, all;
  for (size_t p = 0; p < kinds.size(); ++p) {
    all.push_back(static_cast<Index>(p));
    if (kinds[p] == 0) landmarks.push_back(static_cast<Index>(p));
  }
  return landmarks.size() >= 2 ? landmarks : all;
}

}  // namespace

SlideRecord no_slides(Index specimens, const Row& consensus, const CurveProtocol& curves,
                      const std::vector<int>& kinds) {
  const auto k = static_cast<Index>(kinds.size());
  SlideRecord r;
  r.slides = Matrix::Zero(specimens, k);
  r.points = curve_places(consensus, k, curves, kinds);
  return r;
}

SlideRecord slide_record(const Matrix& input, const Matrix& saved, const Row& consensus,
                         const CurveProtocol& curves, const std::vector<int>& kinds) {
  const auto k = static_cast<Index>(kinds.size());
  const Index n = saved.rows();
  if (input.rows() != n || input.cols() < 2 * k || saved.cols() < 2 * k)
    throw Error("slide record: the sample as loaded (" + std::to_string(input.rows()) + "×" +
                std::to_string(input.cols()) + ") does not match the sample after the run (" +
                std::to_string(n) + "×" + std::to_string(saved.cols()) + ")");
  SlideRecord r = no_slides(n, consensus, curves, kinds);
  const std::vector<Index> fit = fitted_points(kinds);
  for (Index i = 0; i < n; ++i) {
    const Row to = saved.row(i);
    const Row carried = carried_onto(input.row(i), to, fit);
    for (Index p = 0; p < k; ++p)
      if (kinds[static_cast<size_t>(p)] != 0)
        r.slides(i, p) = std::hypot(to(2 * p) - carried(2 * p), to(2 * p + 1) - carried(2 * p + 1));
  }
  for (Index p = 0; p < k; ++p) {
    PointSlide& point = r.points[static_cast<size_t>(p)];
    if (n == 0 || point.kind == 0) continue;
    Index worst = 0;
    point.largest = r.slides.col(p).maxCoeff(&worst);
    point.mean = r.slides.col(p).mean();
    point.specimen = point.largest > 0 ? worst + 1 : 0;
    point.flagged = point.half_gap > 0 && point.largest > point.half_gap;
  }
  return r;
}

}  // namespace tav
