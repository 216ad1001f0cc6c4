// Positions of figures, axes and controls: stored in pixels, read and written in the object's
// "Units".
#include <algorithm>

#include "platform/format.h"
#include "platform/objects.h"
#include "platform/objects_detail.h"

namespace tav {
namespace {

constexpr double kTitleBarPx = 30;  // outer position = inner position plus the title bar

}  // namespace

using objects_detail::handle_text;

Row Objects::pixel_position(Handle h) const {
  const Object& o = obj(h);
  if (o.kind == Kind::axes) {
    const Handle fig = figure_of(h);
    const Row n = stored_at(o, Prop::npos).matrix();
    const Row f = fig ? Row(stored_at(obj(fig), Prop::pos).matrix()) : row({0, 0, 1, 1});
    return row({n(0) * f(2), n(1) * f(3), n(2) * f(2), n(3) * f(3)});
  }
  const Value* pos = stored(o, Prop::pos);
  if (!pos) throw Error("Invalid handle " + handle_text(h) + ": a " + type(h) + " has no position");
  return pos->matrix();
}

double Objects::units_scale_x(Handle h, const std::string& units) const {
  const std::string u = lower_case(units);
  if (u == "pixels") return 1;
  if (u == "characters") return kCharWidthPx;
  if (u == "points") return 96.0 / 72.0;
  if (u == "inches") return 96.0;
  if (u == "normalized") {
    const Handle fig = figure_of(obj(h).parent);
    if (fig == 0) return stored_at(obj(0), Prop::screensize).matrix()(0, 2);
    return stored_at(obj(fig), Prop::pos).matrix()(0, 2);
  }
  throw Error("unknown units \"" + units + "\"");
}

double Objects::units_scale_y(Handle h, const std::string& units) const {
  const std::string u = lower_case(units);
  if (u == "characters") return kCharHeightPx;
  if (u == "normalized") {
    const Handle fig = figure_of(obj(h).parent);
    if (fig == 0) return stored_at(obj(0), Prop::screensize).matrix()(0, 3);
    return stored_at(obj(fig), Prop::pos).matrix()(0, 3);
  }
  return units_scale_x(h, units);
}

Value Objects::get_position(Handle h, Prop p) const {
  const Object& o = obj(h);
  const Value* units_value = stored(o, Prop::units);
  const std::string units = units_value ? units_value->text() : "pixels";
  Row px;
  if (o.kind == Kind::axes) {
    px = pixel_position(h);
  } else {
    px = stored_at(o, Prop::pos).matrix();
    if (p == Prop::outerposition) px(3) += kTitleBarPx;
  }
  const double sx = units_scale_x(h, units), sy = units_scale_y(h, units);
  Row out = px;
  if (lower_case(units) == "normalized" && o.kind != Kind::axes) {
    return Value(row({px(0) / sx, px(1) / sy, px(2) / sx, px(3) / sy}));
  }
  out(0) /= sx, out(2) /= sx, out(1) /= sy, out(3) /= sy;
  return Value(out);
}

void Objects::set_position(Handle h, Prop p, const Value& v) {
  Object& o = obj(h);
  const Matrix& m = v.matrix();
  if (m.size() != 4) throw Error("a position is [left bottom width height], got " + describe(v));
  const Value* units_value = stored(o, Prop::units);
  const std::string units = units_value ? units_value->text() : "pixels";
  const double sx = units_scale_x(h, units), sy = units_scale_y(h, units);
  Row px = row({m.data()[0] * sx, m.data()[1] * sy, m.data()[2] * sx, m.data()[3] * sy});
  if (o.kind == Kind::axes) {
    const Handle fig = figure_of(h);
    const Row f = fig ? Row(stored_at(obj(fig), Prop::pos).matrix()) : row({0, 0, 1, 1});
    store(o, Prop::npos) = Value(row({px(0) / f(2), px(1) / f(3), px(2) / f(2), px(3) / f(3)}));
  } else {
    if (p == Prop::outerposition) px(3) = std::max(0.0, px(3) - kTitleBarPx);
    store(o, Prop::pos) = Value(px);
  }
}

}  // namespace tav
