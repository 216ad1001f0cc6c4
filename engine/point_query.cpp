#include "engine/point_query.h"

#include <cmath>

#include "engine/session.h"

namespace tav {
namespace {

const char* const kHighlightTag = "SpecimenHighlight";
const Row kHighlightColor = row({0.9, 0.1, 0.1});
constexpr double kHighlightWidthPt = 1.5, kHighlightMarkerPt = 8;

// The configurations drawn in the main axes, one per row, read where they are kept: the
// pointer's every move asks, and a sample can be large.
using ShownRows = Eigen::Map<const Matrix>;
ShownRows shown_matrix(const EngineState& s) {
  switch (s.shown) {
    case EngineState::Shown::sample: return {s.sample.data(), s.sample.rows(), s.sample.cols()};
    case EngineState::Shown::consensus:
      return {s.reference.data(), s.reference.rows(), s.reference.cols()};
    case EngineState::Shown::plain_consensus:
      return {s.plain_consensus.data(), 1, s.plain_consensus.size()};
    case EngineState::Shown::nothing: break;
  }
  return {nullptr, 0, 0};
}

template <class M>
Index points_of(const M& m) {
  return m.cols() >= 3 ? (m.cols() - 1) / 2 : 0;
}

int kind_of(const EngineState& s, int point) {
  if (!s.protocol.has_curves || static_cast<size_t>(point) > s.protocol.kinds.size()) return -1;
  return static_cast<int>(s.protocol.kind_of(point));
}

void remove_highlight(Objects& g, Handle ax) {
  for (Handle c : g.children(ax))
    if (g.get(c, "Tag") == Value(kHighlightTag)) g.remove(c);
}

Handle draw(Objects& g, Handle ax, const Row& x, const Row& y, const std::string& spec) {
  const Handle h = g.line(ax, x, y, spec);
  g.set(h, "Color", Value(kHighlightColor));
  g.set(h, "Tag", Value(kHighlightTag));
  return h;
}

// The polyline through the given points of configuration row r, back to the first if closed.
void outline(Objects& g, Handle ax, const Row& r, const std::vector<int>& points, bool closed) {
  if (points.size() < 2) return;
  const Index n = static_cast<Index>(points.size()) + (closed ? 1 : 0);
  Row x(n), y(n);
  for (Index t = 0; t < n; ++t) {
    const int p = points[static_cast<size_t>(t) % points.size()];
    x(t) = r(2 * p - 2), y(t) = r(2 * p - 1);
  }
  g.set(draw(g, ax, x, y, "r-"), "LineWidth", Value(kHighlightWidthPt));
}

}  // namespace

std::optional<ShownPoint> nearest_shown_point(const EngineState& s, double x, double y, double rx,
                                              double ry) {
  const ShownRows m = shown_matrix(s);
  const Index k = points_of(m);
  if (!(rx > 0) || !(ry > 0)) return std::nullopt;
  std::optional<ShownPoint> best;
  double best_d = 1;  // inside the ellipse only
  const bool skip_helpers = s.helpers_hidden;
  for (Index i = 0; i < m.rows(); ++i)
    for (Index j = 0; j < k; ++j) {
      if (skip_helpers && kind_of(s, static_cast<int>(j + 1)) == 2) continue;  // not drawn
      const double dx = (m(i, 2 * j) - x) / rx, dy = (m(i, 2 * j + 1) - y) / ry;
      const double d = dx * dx + dy * dy;
      if (!(d <= best_d) || (best && d == best_d)) continue;
      best_d = d;
      const bool sample = s.shown == EngineState::Shown::sample;
      best = ShownPoint{sample ? i + 1 : 0, static_cast<int>(j + 1),
                        kind_of(s, static_cast<int>(j + 1)), m(i, 2 * j), m(i, 2 * j + 1)};
    }
  return best;
}

std::string describe_point(const EngineState& s, const ShownPoint& p) {
  static const char* const kinds[] = {"landmark", "semi-landmark", "helper"};
  std::string text = "point " + std::to_string(p.point);
  if (p.kind >= 0 && p.kind <= 2) text += std::string(", ") + kinds[p.kind];
  if (p.specimen == 0) {
    const EngineState::Shown shown = s.shown;
    return text +
           (shown == EngineState::Shown::plain_consensus ? ", plain consensus" : ", consensus");
  }
  text += ", specimen " + std::to_string(p.specimen);
  if (s.loaded.ids.empty())
    return text + " (line " + std::to_string(p.specimen) + " of " + s.loaded.file + ")";
  const std::string& id = s.loaded.ids.at(static_cast<size_t>(p.specimen - 1));
  return text + " of " + s.loaded.file + (id.empty() ? "" : " (ID=" + id + ")");
}

void highlight_specimen(Session& session, Index specimen) {
  Objects& g = session.objects();
  const Handle ax = g.gca();
  remove_highlight(g, ax);
  const EngineState& s = session.state;
  if (specimen < 1 || s.shown != EngineState::Shown::sample || specimen > s.sample.rows()) return;
  const Row r = s.sample.row(specimen - 1);
  const Index k = points_of(s.sample);
  if (s.protocol.has_curves) {
    for (int j = s.protocol.curves.numfull; j <= s.protocol.curves.numopen; ++j) {
      if (j == 0 || !s.protocol.curves.has_code(j)) continue;
      std::vector<int> members;
      for (const int p : s.protocol.curves.members_of(j))
        if (p >= 1 && p <= k) members.push_back(p);
      outline(g, ax, r, members, j < 0);
    }
  } else {
    std::vector<int> all(static_cast<size_t>(k));
    for (Index p = 0; p < k; ++p) all[static_cast<size_t>(p)] = static_cast<int>(p + 1);
    outline(g, ax, r, all, false);
  }
  Row xs(k), ys(k);
  for (Index p = 0; p < k; ++p) xs(p) = r(2 * p), ys(p) = r(2 * p + 1);
  g.set(draw(g, ax, xs, ys, "ro"), "MarkerSize", Value(kHighlightMarkerPt));
}

std::string describe_shown_point(const Session& session, double x, double y, double rx, double ry) {
  const std::optional<ShownPoint> p = nearest_shown_point(session.state, x, y, rx, ry);
  return p ? describe_point(session.state, *p) : "";
}

void highlight_shown_point(Session& session, double x, double y, double rx, double ry) {
  const std::optional<ShownPoint> p = nearest_shown_point(session.state, x, y, rx, ry);
  highlight_specimen(session, p ? p->specimen : 0);
}

}  // namespace tav
