#include <cmath>
#include <limits>

#include "display/display.h"
#include "display/legend.h"
#include "platform/console.h"
#include "platform/format.h"

namespace tav {
namespace {

// A column list of one class of point: it starts as the single value 0, meaning empty; the
// first point replaces it, later points are appended.
struct ColumnList {
  std::vector<double> cols{0};
  bool empty = true;
  void add_point(int p) {
    if (empty) cols.clear(), empty = false;
    cols.push_back(2.0 * p - 1);
    cols.push_back(2.0 * p);
  }
};

[[noreturn]] void beyond_configuration(int curve, double column, Index columns) {
  throw Error("protocol plot, curve " + std::to_string(curve) + ": point " +
              sprintf_m("%g", {std::ceil(column / 2)}) +
              " is not in the configurations, which have " + std::to_string(columns) +
              " columns (" + std::to_string((columns - 1) / 2) +
              " points); load the protocol that belongs to this sample");
}

// x(:, cols), the columns 1-based; a column outside x raises Error naming the curve.
Matrix columns_of(const Matrix& x, const std::vector<double>& cols, int curve) {
  Matrix out(x.rows(), static_cast<Index>(cols.size()));
  for (size_t t = 0; t < cols.size(); ++t) {
    const double c = cols[t];
    if (!(c >= 1 && c <= static_cast<double>(x.cols())) || c != std::floor(c))
      beyond_configuration(curve, c, x.cols());
    out.col(static_cast<Index>(t)) = x.col(static_cast<Index>(c) - 1);
  }
  return out;
}

// Marks one class of point of a curve in its style, and again in its second style with ccode.
// The placeholder column 1 at the end stands where draw_configurations expects the trailing value.
// Each drawing is named in the legend by the class, the second as the compared configuration.
void mark_class(Objects& g, const Matrix& x, ColumnList list, int curve, const char* style,
                const char* second_style, bool ccode, const std::string& name) {
  list.cols.push_back(1);
  if (list.cols.size() <= 2) return;
  const Matrix sel = columns_of(x, list.cols, curve);
  draw_configurations(g, sel, style);
  label_last_line(g, name);
  if (!ccode) return;
  draw_configurations(g, sel, second_style);
  label_last_line(g, name + " (compared)");
}

// The mean configuration the curve lines follow; a single row is used as it stands.
Row mean_configuration(const Matrix& x) {
  if (x.rows() == 1) return x.row(0);
  if (x.rows() == 0) return Row::Constant(x.cols(), std::numeric_limits<double>::quiet_NaN());
  return x.colwise().mean();
}

Value as_row(const std::vector<double>& v) {
  return Value(Row(Eigen::Map<const Row>(v.data(), static_cast<Index>(v.size()))));
}

// The dotted line of curve i through the mean positions of its members, in member order;
// a closed curve (i < 0) returns to its first member.
void draw_curve_line(Objects& g, const Matrix& x, const std::vector<int>& lmid, int i) {
  console_show("i", Value(static_cast<double>(i)));
  int linec = 0;
  console_show("linec", Value(0.0));
  console_show("xlinlist", Value(0.0));
  std::vector<double> line_x{0}, line_y{0};
  auto append = [&](int p) {
    ++linec;
    line_x.resize(static_cast<size_t>(linec)), line_y.resize(static_cast<size_t>(linec));
    line_x.back() = 2.0 * p - 1;
    line_y.back() = 2.0 * p;
  };
  for (int p : lmid) append(p);
  if (i < 0) {
    console_show("i", Value(static_cast<double>(i)));
    if (lmid.empty())
      throw Error("protocol plot: closed curve " + std::to_string(i) +
                  " has no members to close its line with; give it member points");
    append(lmid.front());
  }
  const Row xmean = mean_configuration(x);
  console_write(sprintf_m(" nc =%i icount = %f \n", {Value(static_cast<double>(lmid.size())),
                                                     Value(static_cast<double>(i))}));
  console_show("xlinlist", as_row(line_x));
  console_show("ylinlist", as_row(line_y));
  if (i == 0) return;  // the landmark set is never joined
  Row lx(linec), ly(linec);
  for (int t = 0; t < linec; ++t) {
    const double cx = line_x[static_cast<size_t>(t)], cy = line_y[static_cast<size_t>(t)];
    if (cy > static_cast<double>(xmean.size()) || cx < 1) beyond_configuration(i, cy, xmean.size());
    lx(t) = xmean(static_cast<Index>(cx) - 1);
    ly(t) = xmean(static_cast<Index>(cy) - 1);
  }
  if (!g.drawing()) return;
  g.line(g.gca(), lx, ly, "k:");
}

void draw_curve(Objects& g, const Matrix& x, const CurveProtocol& p, int i, bool xlines,
                bool helpers, bool ccode) {
  console_show("i", Value(static_cast<double>(i)));
  const std::vector<int>& lmid = p.members_of(i);
  const std::vector<double>& lmcode = p.types_of(i);
  const double nc = static_cast<double>(lmid.size());
  console_show("mc", Value(lmid.empty() ? 0.0 : 1.0));
  console_show("nc", Value(nc));
  if (lmcode.size() < lmid.size())
    throw Error("protocol plot: curve " + std::to_string(i) + " has " +
                std::to_string(lmid.size()) + " members but only " + std::to_string(lmcode.size()) +
                " point types; every member needs a type");
  ColumnList lmlist, slmlist, hplist;
  for (size_t j = 0; j < lmid.size(); ++j) {
    if (lmcode[j] == 0)
      lmlist.add_point(lmid[j]);
    else if (lmcode[j] == 1)
      slmlist.add_point(lmid[j]);
    else
      hplist.add_point(lmid[j]);
  }
  mark_class(g, x, lmlist, i, "ko", "mo", ccode, "Landmarks");
  mark_class(g, x, slmlist, i, "bd", "gd", ccode, "Semi-landmarks");
  if (helpers) mark_class(g, x, hplist, i, "rs", "ys", ccode, "Helper points");
  if (xlines) draw_curve_line(g, x, lmid, i);
}

}  // namespace

int draw_protocol(Objects& g, const Matrix& x, const CurveProtocol& p, bool xlines,
                  bool omithelpers, ColourCode ccode) {
  for (int i = p.numfull; i <= p.numopen; ++i)
    draw_curve(g, x, p, i, xlines, !omithelpers, ccode == ColourCode::compared);
  return 0;
}

}  // namespace tav
