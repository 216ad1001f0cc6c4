// Drawing into an axes: lines and texts, hold, clearing and the axis limits.
#include <cmath>
#include <limits>
#include <vector>

#include "platform/objects.h"
#include "platform/objects_detail.h"

namespace tav {

using objects_detail::handle_text;

Handle Objects::line(Handle axes, const Row& x, const Row& y, const std::string& spec) {
  if (x.size() != y.size()) throw Error("line: x and y must have the same number of points");
  return line(axes, x, y, parse_linespec(spec));
}

Handle Objects::line(Handle axes, const Row& x, const Row& y, const LineSpec& ls) {
  if (x.size() != y.size()) throw Error("line: x and y must have the same number of points");
  if (x.size() != 1) return line_from(axes, Matrix(x), Matrix(y), ls);
  const Handle h = make_line(axes, ls);  // a marker: straight into the compact record
  Object& o = obj(h);
  o.xdata = x(0), o.ydata = y(0);
  o.x = o.y = Slot::compact;
  return h;
}

Handle Objects::line_from(Handle axes, Matrix&& x, Matrix&& y, const LineSpec& ls) {
  if (x.size() != y.size()) throw Error("line: x and y must have the same number of points");
  if ((x.size() > 0 && x.rows() != 1) || (y.size() > 0 && y.rows() != 1))
    throw Error("line: x and y must be rows of coordinates");
  if (x.size() == 1) return line(axes, Row(x), Row(y), ls);
  const Handle h = make_line(axes, ls);
  Object& o = obj(h);
  store(o, Prop::xdata).v = std::move(x);
  store(o, Prop::ydata).v = std::move(y);
  o.x = o.y = Slot::general;
  return h;
}

Handle Objects::make_line(Handle axes, const LineSpec& ls) {
  if (!held(axes)) cla(axes);
  const Handle h = make(Kind::line, axes);
  Object& o = obj(h);
  if (const int c = palette_index(ls.color); c >= 0) {
    o.color = static_cast<std::uint16_t>(c);
  } else {
    line_set(o, Prop::color, Value(Row(ls.color)));
  }
  line_set(o, Prop::marker, Value(ls.marker));
  line_set(o, Prop::linestyle, Value(ls.line_style));
  return h;
}

Handle Objects::text(Handle axes, double x, double y, const std::string& s) {
  const Handle h = make(Kind::text, axes);
  Object& o = obj(h);
  store(o, Prop::position) = Value(row({x, y}));
  store(o, Prop::string) = Value(s);
  return h;
}

void Objects::hold(Handle axes, bool on) {
  set(axes, Prop::nextplot, Value(on ? "add" : "replace"));
}

bool Objects::held(Handle axes) const {
  const Value v = get(axes, Prop::nextplot);
  return v.is_text() && v.text() == "add";
}

void Objects::cla(Handle axes) {
  if (kind(axes) != Kind::axes)
    throw Error("cla: the object " + handle_text(axes) + " is not an axes");
  Object& o = obj(axes);
  Extra& e = extra_of(o);
  // Everything drawn goes at once: one by one would shift the list of children each time.
  std::vector<Handle> gone;
  gone.swap(e.children);
  for (Handle c : gone) drop(c);
  forget_current(o, gone);
  store(o, Prop::xlim) = Value(row({0, 1}));
  store(o, Prop::ylim) = Value(row({0, 1}));
  store(o, Prop::nextplot) = Value("replace");
  store(o, Prop::dataaspectratiomode) = Value("auto");
  revision_ += gone.size() + 1;
}

void Objects::axis_auto(Handle axes) {
  double x0 = std::numeric_limits<double>::infinity(), x1 = -x0, y0 = x0, y1 = -x0;
  auto extend = [&](double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
  };
  const Object& ax = obj(axes);
  static const std::vector<Handle> none;
  for (Handle c : ax.extra ? ax.extra->children : none) {
    const Object& o = obj(c);
    if (o.kind == Kind::line) {
      if (o.x == Slot::compact && o.y == Slot::compact) {
        extend(o.xdata, o.ydata);
        continue;
      }
      const std::span<const double> xs = numbers(c, Prop::xdata), ys = numbers(c, Prop::ydata);
      for (size_t i = 0; i < xs.size() && i < ys.size(); ++i) extend(xs[i], ys[i]);
    } else if (o.kind == Kind::text) {
      const Value* pos = stored(o, Prop::position);
      if (!pos) continue;
      const Matrix& p = pos->matrix();
      if (p.size() >= 2) extend(p.data()[0], p.data()[1]);
    }
  }
  if (!std::isfinite(x0)) x0 = 0, x1 = 1, y0 = 0, y1 = 1;
  // A small margin so that markers on the edge stay whole; a single point gets a unit box.
  auto pad = [](double& a, double& b) {
    const double span = b - a;
    const double m = span > 0 ? 0.05 * span : (a != 0 ? 0.1 * std::fabs(a) : 0.5);
    a -= m, b += m;
  };
  pad(x0, x1), pad(y0, y1);
  Object& a = obj(axes);
  store(a, Prop::xlim) = Value(row({x0, x1}));
  store(a, Prop::ylim) = Value(row({y0, y1}));
  store(a, Prop::dataaspectratiomode) = Value("auto");
  ++revision_;
}

void Objects::axis_equal(Handle axes) {
  store(obj(axes), Prop::dataaspectratiomode) = Value("manual");
  ++revision_;
}

Row Objects::axis(Handle axes) const {
  const Object& o = obj(axes);
  const Matrix& x = stored_at(o, Prop::xlim).matrix();
  const Matrix& y = stored_at(o, Prop::ylim).matrix();
  return row({x(0), x(1), y(0), y(1)});
}

void Objects::axis(Handle axes, const Row& l) {
  if (l.size() != 4 || !(l(0) < l(1)) || !(l(2) < l(3)))
    throw Error("axis limits must be [xmin xmax ymin ymax] with xmin < xmax and ymin < ymax");
  Object& a = obj(axes);
  store(a, Prop::xlim) = Value(row({l(0), l(1)}));
  store(a, Prop::ylim) = Value(row({l(2), l(3)}));
  ++revision_;
}

}  // namespace tav
