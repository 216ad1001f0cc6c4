#include "platform/objects.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace tav {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string handle_text(Handle h) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", h);
  return buf;
}

constexpr double kTitleBarPx = 30;  // outer position = inner position plus the title bar

}  // namespace

Eigen::RowVector3d color_of_letter(char c) {
  switch (c) {
    case 'b': return {0, 0, 1};
    case 'g': return {0, 0.5, 0};
    case 'r': return {1, 0, 0};
    case 'c': return {0, 0.75, 0.75};
    case 'm': return {0.75, 0, 0.75};
    case 'y': return {0.85, 0.75, 0};
    case 'k': return {0, 0, 0};
    case 'w': return {1, 1, 1};
    default: throw Error(std::string("unknown colour letter '") + c + "'");
  }
}

LineSpec parse_linespec(const std::string& spec) {
  LineSpec ls;
  bool has_marker = false, has_line = false;
  for (size_t i = 0; i < spec.size(); ++i) {
    const char c = spec[i];
    if (std::string("bgrcmykw").find(c) != std::string::npos) {
      ls.color = color_of_letter(c);
    } else if (std::string(".o*+xsd^v<>ph").find(c) != std::string::npos) {
      ls.marker = std::string(1, c);
      has_marker = true;
    } else if (c == '-' || c == ':') {
      if (c == '-' && i + 1 < spec.size() && (spec[i + 1] == '-' || spec[i + 1] == '.')) {
        ls.line_style = spec.substr(i, 2);
        ++i;
      } else {
        ls.line_style = std::string(1, c);
      }
      has_line = true;
    } else {
      throw Error("\"" + spec + "\" is not a line specification (colour letter, marker or line style)");
    }
  }
  if (!has_marker && !has_line) ls.line_style = "-";
  return ls;
}

Objects::Objects() {
  Object root;
  root.type = "root";
  root.parent = -1;
  root.props["screensize"] = Value(row({1, 1, 1920, 1080}));
  root.props["units"] = Value("pixels");
  root.props["defaultuicontrolbackgroundcolor"] = Value(row({0.94, 0.94, 0.94}));
  objects_[0] = root;
}

Objects::Object& Objects::obj(Handle h) {
  auto it = objects_.find(h);
  if (it == objects_.end()) throw Error("Invalid handle " + handle_text(h) + ": no such graphics object");
  return it->second;
}

const Objects::Object& Objects::obj(Handle h) const {
  auto it = objects_.find(h);
  if (it == objects_.end()) throw Error("Invalid handle " + handle_text(h) + ": no such graphics object");
  return it->second;
}

bool Objects::valid(Handle h) const { return objects_.count(h) > 0; }

Handle Objects::create(const std::string& type, Handle parent) {
  Object& p = obj(parent);
  const std::string t = lower(type);
  Handle h;
  if (t == "figure") {
    if (parent != 0) throw Error("a figure's parent must be the root (0)");
    h = 1;
    while (valid(h)) h += 1;
  } else {
    if (t != "axes" && t != "line" && t != "text" && t != "uicontrol" && t != "uipanel")
      throw Error("unknown graphics object type \"" + type + "\"");
    next_fraction_ += 1;
    h = 1000000.0 + next_fraction_ + 0.5;
  }
  p.children.push_back(h);
  Object o;
  o.type = t;
  o.parent = parent;
  if (t == "figure") {
    o.props["__pos"] = Value(row({200, 200, 900, 640}));
    o.props["units"] = Value("pixels");
    o.props["pointer"] = Value("arrow");
    o.props["visible"] = Value("on");
    o.props["color"] = Value(row({0.94, 0.94, 0.94}));
    o.props["activepositionproperty"] = Value("outerposition");
  } else if (t == "axes") {
    o.props["units"] = Value("normalized");
    o.props["__npos"] = Value(row({0.13, 0.11, 0.775, 0.815}));
    o.props["xlim"] = Value(row({0, 1}));
    o.props["ylim"] = Value(row({0, 1}));
    o.props["nextplot"] = Value("replace");
    o.props["dataaspectratiomode"] = Value("auto");
  } else if (t == "line") {
    o.props["markersize"] = Value(6.0);
    o.props["markerfacecolor"] = Value("none");
    o.props["color"] = Value(row({0, 0, 0}));
    o.props["linestyle"] = Value("-");
    o.props["marker"] = Value("none");
  } else if (t == "uicontrol") {
    o.props["value"] = Value(0.0);
    o.props["style"] = Value("pushbutton");
    o.props["units"] = Value("pixels");
    o.props["__pos"] = Value(row({20, 20, 60, 20}));
  }
  objects_[h] = o;
  if (t == "figure") {
    objects_[0].props["currentfigure"] = Value(h);
  } else if (t == "axes") {
    obj(parent).props["currentaxes"] = Value(h);
  }
  ++revision_;
  return h;
}

Handle Objects::figure(int n) {
  if (n < 1) throw Error("figure number must be a positive whole number, got " + std::to_string(n));
  const Handle h = n;
  if (!valid(h)) {
    Object o;
    // Create with the requested number: a figure is made through create() for the defaults,
    // then moved to handle n when create() chose another free number.
    const Handle made = create("figure", 0);
    if (made != h) {
      o = objects_[made];
      objects_.erase(made);
      auto& kids = objects_[0].children;
      kids.erase(std::remove(kids.begin(), kids.end(), made), kids.end());
      kids.push_back(h);
      objects_[h] = o;
    }
  }
  set_current_figure(h);
  return h;
}

void Objects::remove(Handle h) {
  if (h == 0) throw Error("the root object (0) cannot be deleted");
  Object& o = obj(h);
  // The children go with h: none of them needs its own unlinking (one pass, not one per child).
  for (const Handle c : o.children) erase_subtree(c);
  o.children.clear();
  const Handle p = o.parent;
  auto& sib = obj(p).children;
  sib.erase(std::remove(sib.begin(), sib.end(), h), sib.end());
  Object& po = obj(p);
  for (const char* key : {"currentaxes", "currentfigure"}) {
    auto it = po.props.find(key);
    if (it != po.props.end() && it->second.is_matrix() && it->second.matrix().size() == 1 &&
        it->second.scalar() == h) {
      // The newest remaining child of the same kind becomes current, or none.
      po.props.erase(it);
      for (auto c = po.children.rbegin(); c != po.children.rend(); ++c)
        if (objects_.at(*c).type == (std::string(key) == "currentaxes" ? "axes" : "figure")) {
          po.props[key] = Value(*c);
          break;
        }
    }
  }
  objects_.erase(h);
  ++revision_;
}

void Objects::erase_subtree(Handle h) {
  const auto it = objects_.find(h);
  if (it == objects_.end()) return;
  for (const Handle c : it->second.children) erase_subtree(c);
  objects_.erase(it);
}

std::string Objects::type(Handle h) const { return obj(h).type; }
Handle Objects::parent(Handle h) const { return obj(h).parent; }
std::vector<Handle> Objects::children(Handle h) const { return obj(h).children; }

std::vector<Handle> Objects::listing(Handle h) const {
  std::vector<Handle> out{h};
  for (Handle c : obj(h).children) {
    auto sub = listing(c);
    out.insert(out.end(), sub.begin(), sub.end());
  }
  return out;
}

std::vector<Handle> Objects::find_by_tag(const std::string& tag) const {
  std::vector<Handle> out;
  for (Handle h : listing(0)) {
    auto it = objects_.at(h).props.find("tag");
    if (it != objects_.at(h).props.end() && it->second.is_text() && it->second.text() == tag)
      out.push_back(h);
  }
  return out;
}

Handle Objects::figure_of(Handle h) const {
  while (valid(h) && h != 0) {
    if (obj(h).type == "figure") return h;
    h = obj(h).parent;
  }
  return 0;
}

Row Objects::pixel_position(Handle h) const {
  const Object& o = obj(h);
  if (o.type == "axes") {
    const Handle fig = figure_of(h);
    const Row n = o.props.at("__npos").matrix();
    const Row f = fig ? Row(obj(fig).props.at("__pos").matrix()) : row({0, 0, 1, 1});
    return row({n(0) * f(2), n(1) * f(3), n(2) * f(2), n(3) * f(3)});
  }
  auto it = o.props.find("__pos");
  if (it == o.props.end())
    throw Error("Invalid handle " + handle_text(h) + ": a " + o.type + " has no position");
  return it->second.matrix();
}

double Objects::units_scale_x(Handle h, const std::string& units) const {
  const std::string u = lower(units);
  if (u == "pixels") return 1;
  if (u == "characters") return kCharWidthPx;
  if (u == "points") return 96.0 / 72.0;
  if (u == "inches") return 96.0;
  if (u == "normalized") {
    const Handle fig = figure_of(obj(h).parent);
    if (fig == 0) return obj(0).props.at("screensize").matrix()(0, 2);
    return obj(fig).props.at("__pos").matrix()(0, 2);
  }
  throw Error("unknown units \"" + units + "\"");
}

double Objects::units_scale_y(Handle h, const std::string& units) const {
  const std::string u = lower(units);
  if (u == "characters") return kCharHeightPx;
  if (u == "normalized") {
    const Handle fig = figure_of(obj(h).parent);
    if (fig == 0) return obj(0).props.at("screensize").matrix()(0, 3);
    return obj(fig).props.at("__pos").matrix()(0, 3);
  }
  return units_scale_x(h, units);
}

Value Objects::get_position(Handle h, const std::string& lname) const {
  const Object& o = obj(h);
  const std::string units = o.props.count("units") ? o.props.at("units").text() : "pixels";
  Row px;
  if (o.type == "axes") {
    px = pixel_position(h);
  } else {
    px = o.props.at("__pos").matrix();
    if (lname == "outerposition") px(3) += kTitleBarPx;
  }
  const double sx = units_scale_x(h, units), sy = units_scale_y(h, units);
  Row out = px;
  if (lower(units) == "normalized" && o.type != "axes") {
    return Value(row({px(0) / sx, px(1) / sy, px(2) / sx, px(3) / sy}));
  }
  out(0) /= sx, out(2) /= sx, out(1) /= sy, out(3) /= sy;
  return Value(out);
}

void Objects::set_position(Handle h, const std::string& lname, const Value& v) {
  Object& o = obj(h);
  const Matrix& m = v.matrix();
  if (m.size() != 4) throw Error("a position is [left bottom width height], got " + describe(v));
  const std::string units = o.props.count("units") ? o.props.at("units").text() : "pixels";
  const double sx = units_scale_x(h, units), sy = units_scale_y(h, units);
  Row px = row({m.data()[0] * sx, m.data()[1] * sy, m.data()[2] * sx, m.data()[3] * sy});
  if (o.type == "axes") {
    const Handle fig = figure_of(h);
    const Row f = fig ? Row(obj(fig).props.at("__pos").matrix()) : row({0, 0, 1, 1});
    o.props["__npos"] = Value(row({px(0) / f(2), px(1) / f(3), px(2) / f(2), px(3) / f(3)}));
  } else {
    if (lname == "outerposition") px(3) = std::max(0.0, px(3) - kTitleBarPx);
    o.props["__pos"] = Value(px);
  }
}

Value Objects::defaults(const Object& o, const std::string& lname) const {
  (void)o, (void)lname;
  return Value();
}

Value Objects::get(Handle h, const std::string& name) const {
  const Object& o = obj(h);
  const std::string n = lower(name);
  if (n == "type") return Value(o.type);
  if (n == "parent") return Value(o.parent < 0 ? Matrix(0, 0) : Matrix::Constant(1, 1, o.parent));
  if (n == "children") {
    Matrix c(static_cast<Index>(o.children.size()), o.children.empty() ? 0 : 1);
    for (size_t i = 0; i < o.children.size(); ++i)
      c(static_cast<Index>(i), 0) = o.children[o.children.size() - 1 - i];
    return Value(c);
  }
  if ((n == "position" || n == "outerposition") && o.type != "root" && o.type != "line" &&
      o.type != "text")
    return get_position(h, n);
  auto it = o.props.find(n);
  if (it != o.props.end()) return it->second;
  return defaults(o, n);
}

void Objects::set(Handle h, const std::string& name, const Value& v) {
  Object& o = obj(h);
  const std::string n = lower(name);
  if (n == "type" || n == "children")
    throw Error("the property \"" + name + "\" of a graphics object cannot be set");
  if (n == "parent") throw Error("moving an object to another parent is not supported");
  if ((n == "position" || n == "outerposition") && o.type != "root" && o.type != "line" &&
      o.type != "text") {
    set_position(h, n, v);
  } else if (n == "markersize") {
    if (!v.is_matrix() || v.matrix().size() != 1 || !(v.scalar() > 0) || !std::isfinite(v.scalar()))
      throw Error("MarkerSize must be a positive number, got " +
                  describe(v));
    o.props[n] = v;
  } else {
    o.props[n] = v;
  }
  ++revision_;
}

Value Objects::appdata(Handle h, const std::string& name) const {
  const Object& o = obj(h);
  auto it = o.appdata.find(name);
  return it == o.appdata.end() ? Value() : it->second;
}

void Objects::set_appdata(Handle h, const std::string& name, const Value& v) {
  obj(h).appdata[name] = v;
}

bool Objects::has_current_figure() const {
  auto it = obj(0).props.find("currentfigure");
  return it != obj(0).props.end() && it->second.is_matrix() && it->second.matrix().size() == 1 &&
         valid(it->second.scalar());
}

Handle Objects::gcf() {
  if (has_current_figure()) return obj(0).props.at("currentfigure").scalar();
  return create("figure", 0);
}

Handle Objects::gca() {
  const Handle fig = gcf();
  auto it = obj(fig).props.find("currentaxes");
  if (it != obj(fig).props.end() && it->second.is_matrix() && it->second.matrix().size() == 1 &&
      valid(it->second.scalar()))
    return it->second.scalar();
  return create("axes", fig);
}

void Objects::set_current_figure(Handle fig) {
  if (!valid(fig) || obj(fig).type != "figure")
    throw Error("Invalid handle " + handle_text(fig) + ": not a figure");
  obj(0).props["currentfigure"] = Value(fig);
  obj(fig).props["__raised"] = Value(static_cast<double>(revision_ + 1));
  ++revision_;
}

std::vector<Handle> Objects::figures() const {
  std::vector<Handle> out;
  for (Handle c : obj(0).children)
    if (obj(c).type == "figure") out.push_back(c);
  return out;
}

Handle Objects::line(Handle axes, const Row& x, const Row& y, const std::string& spec) {
  if (x.size() != y.size()) throw Error("line: x and y must have the same number of points");
  const LineSpec ls = parse_linespec(spec);
  if (!held(axes)) cla(axes);
  const Handle h = create("line", axes);
  Object& o = obj(h);
  o.props["xdata"] = Value(x);
  o.props["ydata"] = Value(y);
  o.props["color"] = Value(Row(ls.color));
  o.props["marker"] = Value(ls.marker);
  o.props["linestyle"] = Value(ls.line_style);
  return h;
}

Handle Objects::text(Handle axes, double x, double y, const std::string& s) {
  const Handle h = create("text", axes);
  obj(h).props["position"] = Value(row({x, y}));
  obj(h).props["string"] = Value(s);
  return h;
}

void Objects::hold(Handle axes, bool on) { set(axes, "NextPlot", Value(on ? "add" : "replace")); }

bool Objects::held(Handle axes) const {
  const Value v = get(axes, "NextPlot");
  return v.is_text() && v.text() == "add";
}

void Objects::cla(Handle axes) {
  if (type(axes) != "axes") throw Error("cla: the object " + handle_text(axes) + " is not an axes");
  Object& o = obj(axes);
  // Every drawn child goes at once: removing them one by one from the list is quadratic in
  // their number (a plot of every specimen has thousands).
  for (const Handle c : o.children) erase_subtree(c);
  o.children.clear();
  ++revision_;
  o.props["xlim"] = Value(row({0, 1}));
  o.props["ylim"] = Value(row({0, 1}));
  o.props["nextplot"] = Value("replace");
  o.props["dataaspectratiomode"] = Value("auto");
  ++revision_;
}

void Objects::axis_auto(Handle axes) {
  double x0 = std::numeric_limits<double>::infinity(), x1 = -x0, y0 = x0, y1 = -x0;
  for (Handle c : children(axes)) {
    const Object& o = obj(c);
    auto extend = [&](double x, double y) {
      if (!std::isfinite(x) || !std::isfinite(y)) return;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    };
    if (o.type == "line") {
      const Matrix& xs = o.props.at("xdata").matrix();
      const Matrix& ys = o.props.at("ydata").matrix();
      for (Index i = 0; i < xs.size() && i < ys.size(); ++i) extend(xs.data()[i], ys.data()[i]);
    } else if (o.type == "text") {
      const Matrix& p = o.props.at("position").matrix();
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
  Object& o = obj(axes);
  o.props["xlim"] = Value(row({x0, x1}));
  o.props["ylim"] = Value(row({y0, y1}));
  o.props["dataaspectratiomode"] = Value("auto");
  ++revision_;
}

void Objects::axis_equal(Handle axes) {
  obj(axes).props["dataaspectratiomode"] = Value("manual");
  ++revision_;
}

Row Objects::axis(Handle axes) const {
  const Matrix& x = obj(axes).props.at("xlim").matrix();
  const Matrix& y = obj(axes).props.at("ylim").matrix();
  return row({x(0), x(1), y(0), y(1)});
}

void Objects::axis(Handle axes, const Row& l) {
  if (l.size() != 4 || !(l(0) < l(1)) || !(l(2) < l(3)))
    throw Error("axis limits must be [xmin xmax ymin ymax] with xmin < xmax and ymin < ymax");
  Object& o = obj(axes);
  o.props["xlim"] = Value(row({l(0), l(1)}));
  o.props["ylim"] = Value(row({l(2), l(3)}));
  ++revision_;
}

}  // namespace tav
