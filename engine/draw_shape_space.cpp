// The shape space drawn into a figure: the scores on two components beside the deformation grids
// of the shapes at the two ends of the first of them.
#include "display/display.h"
#include "display/legend.h"
#include "display/render.h"
#include "engine/engine.h"
#include "engine/session.h"
#include "platform/format.h"

namespace tav {
namespace {

constexpr double kPanelPx = 420, kGapPx = 20;
constexpr int kGridCells = 20;

// An axes of the figure, the i-th panel from the left, `high` of its height from `bottom` up.
Handle panel(Objects& g, Handle figure, int i, double bottom = 0, double high = 1) {
  const Handle ax = g.create("axes", figure);
  g.set(ax, "Units", Value("pixels"));
  const double raised = bottom > 0 ? kGapPx : 0;  // a gap between stacked panels
  g.set(ax, "Position",
        Value(row({kGapPx + i * (kPanelPx + kGapPx), kGapPx + bottom * kPanelPx + raised, kPanelPx,
                   high * kPanelPx - raised})));
  g.set(figure, "CurrentAxes", Value(ax));
  g.hold(ax, true);  // every line drawn stays
  return ax;
}

std::string axis_name(const PrincipalComponents& pc, Index c) {
  return sprintf_m("PC%i (%.1f %%)", {Value(static_cast<double>(c)), Value(pc.percent(c - 1))});
}

// The scores of components a (across) and b (up), outliers marked apart.
void draw_scores(Objects& g, Handle ax, const ShapeSpace& s, Index a, Index b) {
  const Matrix& scores = s.components.scores;
  std::vector<double> x[2], y[2];
  for (Index i = 0; i < scores.rows(); ++i) {
    const int outlier = s.outliers[static_cast<size_t>(i)] ? 1 : 0;
    x[outlier].push_back(scores(i, a - 1)), y[outlier].push_back(scores(i, b - 1));
  }
  const char* specs[2] = {"bo", "ro"};
  const char* names[2] = {"Specimens", "Outliers"};
  for (int k = 0; k < 2; ++k) {
    if (x[k].empty()) continue;
    g.line(ax, Eigen::Map<const Row>(x[k].data(), static_cast<Index>(x[k].size())),
           Eigen::Map<const Row>(y[k].data(), static_cast<Index>(y[k].size())), specs[k]);
    label_last_line(g, names[k]);
  }
  g.axis_auto(ax);
  g.axis_equal(ax);
  const Row lim = g.axis(ax);
  g.text(ax, lim(0), lim(3),
         axis_name(s.components, a) + " across, " + axis_name(s.components, b) + " up");
}

// The grid from the consensus to `target`, and the target's points with its curves.
void draw_grid(Objects& g, Handle ax, const Row& consensus, const Row& target,
               const CurveProtocol& curves, bool has_curves, const std::string& title) {
  const DeformationGrid grid = deformation_grid(consensus, target, kGridCells);
  for (Index r = 0; r < grid.warped_x.rows(); ++r)
    g.line(ax, grid.warped_x.row(r), grid.warped_y.row(r), "k-");
  for (Index c = 0; c < grid.warped_x.cols(); ++c)
    g.line(ax, grid.warped_x.col(c).transpose(), grid.warped_y.col(c).transpose(), "k-");
  Matrix shape(1, target.size() + 1);
  shape << target, 0.0;  // a configuration row carries a trailing value
  if (has_curves)
    draw_protocol(g, shape, curves, true);
  else
    draw_configurations(g, shape, "bo");
  g.axis_auto(ax);
  g.axis_equal(ax);
  const Row lim = g.axis(ax);
  g.text(ax, lim(0), lim(3), title);
}

// The top-left corner of the axes' limits, where a panel's title is written.
void title(Objects& g, Handle ax, const std::string& text) {
  g.axis_auto(ax);
  const Row lim = g.axis(ax);
  g.text(ax, lim(0), lim(3), text);
}

// The percent of the variance along every component, component by component.
void draw_variance(Objects& g, Handle ax, const PrincipalComponents& pc) {
  const Index m = pc.components();
  Row at(m), percent(m);
  for (Index c = 0; c < m; ++c) at(c) = double(c + 1), percent(c) = pc.percent(c);
  for (Index c = 0; c < m; ++c)  // a bar per component, from 0 up
    g.line(ax, row({at(c), at(c)}), row({0, percent(c)}), "b-");
  g.line(ax, at, percent, "b.");
  title(g, ax, "Variance of each component (%)");
}

// How far each point slid, point by point: the mean and the largest over the specimens, the
// points whose largest slide may have taken them past a neighbour marked.
void draw_slides(Objects& g, Handle ax, const SlideRecord& slides) {
  const Index k = static_cast<Index>(slides.points.size());
  Row at(k), mean(k), largest(k);
  std::vector<double> flagged_at, flagged;
  for (Index p = 0; p < k; ++p) {
    const PointSlide& point = slides.points[static_cast<size_t>(p)];
    at(p) = double(p + 1), mean(p) = point.mean, largest(p) = point.largest;
    if (point.flagged) flagged_at.push_back(at(p)), flagged.push_back(point.largest);
  }
  g.line(ax, at, mean, "b-");
  label_last_line(g, "Mean slide");
  g.line(ax, at, largest, "r-");
  label_last_line(g, "Largest slide");
  if (!flagged.empty()) {
    const Index n = static_cast<Index>(flagged.size());
    g.line(ax, Eigen::Map<const Row>(flagged_at.data(), n),
           Eigen::Map<const Row>(flagged.data(), n), "rx");
    label_last_line(g, "Past half the gap to a neighbour");
  }
  title(g, ax, "Slide of each point");
}

}  // namespace

void draw_slides_and_variance(Session& session, const ShapeSpace& s, Handle figure) {
  Objects& g = session.objects();
  Row position = g.get(figure, "Position").matrix();
  position(2) = 4 * (kPanelPx + kGapPx) + kGapPx;
  g.set(figure, "Position", Value(position));
  draw_variance(g, panel(g, figure, 3, 0.5, 0.5), s.components);
  if (!s.slides.points.empty()) draw_slides(g, panel(g, figure, 3, 0, 0.5), s.slides);
}

void draw_shape_space(Session& session, const ShapeSpace& s, Handle figure, Index a, Index b,
                      double sds) {
  Objects& g = session.objects();
  g.set(figure, "Units", Value("pixels"));
  g.set(figure, "Position",
        Value(row({0, 0, 3 * (kPanelPx + kGapPx) + kGapPx, kPanelPx + 2 * kGapPx})));
  draw_scores(g, panel(g, figure, 0), s, a, b);
  const Protocol& p = session.state.protocol;
  for (int end = 0; end < 2; ++end) {
    const double at = end == 0 ? -sds : sds;
    draw_grid(g, panel(g, figure, end + 1), s.consensus, component_shape(s.components, a, at),
              p.curves, p.has_curves,
              sprintf_m("PC%i at %+g sd", {Value(static_cast<double>(a)), Value(at)}));
  }
}

}  // namespace tav
