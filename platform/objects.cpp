#include "platform/objects.h"
#include "platform/format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <deque>
#include <iterator>
#include <limits>
#include <mutex>
#include <unordered_map>

namespace tav {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A fractional handle reads "1000001.5" under any locale, as the user types it back.
std::string handle_text(Handle h) { return sprintf_m("%.10g", {Value(h)}); }

constexpr double kTitleBarPx = 30;  // outer position = inner position plus the title bar

// Fractional handles are kFractionBase + k for the k-th object made, k = 1, 2, ...
constexpr double kFractionBase = 1000000.5;

constexpr const char* kKindNames[] = {"", "root", "figure", "axes", "line", "text", "uicontrol", "uipanel"};
constexpr const char* kLineStyles[] = {"-", ":", "--", "-.", "none"};
constexpr std::size_t kPaletteLimit = 65535;

bool whole_number(Handle h) { return h == std::floor(h); }

// Every property name met so far, by id; the usual names first, in the order of Prop.
class PropNames {
 public:
  PropNames() {
    for (const char* n : {"xdata", "ydata", "color", "markerfacecolor", "marker", "linestyle",
                          "markersize", "linewidth", "type", "parent", "children", "position",
                          "outerposition", "units", "tag", "string", "fontsize", "value", "style",
                          "nextplot", "xlim", "ylim", "dataaspectratiomode", "currentaxes",
                          "currentfigure", "screensize", "__pos", "__npos", "__raised", "pointer",
                          "visible", "activepositionproperty", "defaultuicontrolbackgroundcolor",
                          "callback", "name"})
      add(n);
    if (names_.size() != static_cast<std::size_t>(Prop::usual_count))
      throw std::logic_error("the usual property names do not match their ids");
  }
  std::optional<Prop> find(std::string_view name, bool intern) {
    char buf[64];
    std::string long_name;
    std::string_view key;
    if (name.size() <= sizeof buf) {
      for (std::size_t i = 0; i < name.size(); ++i)
        buf[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
      key = std::string_view(buf, name.size());
    } else {
      long_name = lower(std::string(name));
      key = long_name;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto it = ids_.find(key); it != ids_.end()) return it->second;
    if (!intern) return std::nullopt;
    return add(std::string(key));
  }
  const std::string& name(Prop p) {
    std::lock_guard<std::mutex> lock(mutex_);
    return names_.at(static_cast<std::size_t>(p));
  }

 private:
  Prop add(std::string n) {
    const auto id = static_cast<Prop>(names_.size());
    names_.push_back(std::move(n));
    ids_.emplace(names_.back(), id);  // the deque never moves its strings
    return id;
  }
  std::mutex mutex_;
  std::deque<std::string> names_;
  std::unordered_map<std::string_view, Prop> ids_;
};

PropNames& prop_names() {
  static PropNames names;
  return names;
}

}  // namespace

Prop prop(std::string_view name) { return *prop_names().find(name, true); }
std::optional<Prop> known_prop(std::string_view name) { return prop_names().find(name, false); }
const std::string& prop_name(Prop p) { return prop_names().name(p); }

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
  palette_.push_back({0, 0, 0});
  Object& root = insert(0);
  root.kind = Kind::root;
  root.parent = -1;
  root.extra = std::make_unique<Extra>();
  store(root, Prop::screensize) = Value(row({1, 1, 1920, 1080}));
  store(root, Prop::units) = Value("pixels");
  store(root, Prop::defaultuicontrolbackgroundcolor) = Value(row({0.94, 0.94, 0.94}));
}

Objects::Object* Objects::find(Handle h) {
  return const_cast<Object*>(static_cast<const Objects*>(this)->find(h));
}

const Objects::Object* Objects::find(Handle h) const {
  if (whole_number(h)) {
    auto it = whole_.find(h);
    return it == whole_.end() ? nullptr : &it->second;
  }
  const double k = h - kFractionBase;
  if (!(k >= 1 && k <= next_fraction_) || !whole_number(k)) return nullptr;
  const auto i = static_cast<std::size_t>(k) - 1;
  const std::size_t page = i / kPageSize;
  if (page >= pages_.size() || !pages_[page]) return nullptr;
  const Object& o = pages_[page]->entries[i % kPageSize];
  return o.kind == Kind::none ? nullptr : &o;
}

Objects::Object& Objects::obj(Handle h) {
  Object* o = find(h);
  if (!o) throw Error("Invalid handle " + handle_text(h) + ": no such graphics object");
  return *o;
}

const Objects::Object& Objects::obj(Handle h) const {
  const Object* o = find(h);
  if (!o) throw Error("Invalid handle " + handle_text(h) + ": no such graphics object");
  return *o;
}

bool Objects::valid(Handle h) const { return find(h) != nullptr; }

Objects::Object& Objects::insert(Handle h) {
  if (whole_number(h)) return whole_[h] = Object{};
  const auto i = static_cast<std::size_t>(h - kFractionBase) - 1;
  const std::size_t page = i / kPageSize;
  if (page >= pages_.size()) pages_.resize(page + 1);
  if (!pages_[page]) pages_[page] = std::make_unique<Page>();
  pages_[page]->live += 1;
  return pages_[page]->entries[i % kPageSize] = Object{};
}

void Objects::drop(Handle h) {
  Object* o = find(h);
  if (!o) return;
  if (o->extra)
    for (Handle c : o->extra->children) drop(c);
  if (whole_number(h)) {
    whole_.erase(h);
    return;
  }
  *o = Object{};
  const std::size_t page = (static_cast<std::size_t>(h - kFractionBase) - 1) / kPageSize;
  if (--pages_[page]->live == 0) pages_[page].reset();
}

Objects::Extra& Objects::extra_of(Object& o) {
  if (!o.extra) o.extra = std::make_unique<Extra>();
  return *o.extra;
}

const Value* Objects::stored(const Object& o, Prop p) {
  if (!o.extra) return nullptr;
  for (const auto& [id, v] : o.extra->props)
    if (id == p) return &v;
  return nullptr;
}

const Value& Objects::stored_at(const Object& o, Prop p) {
  const Value* v = stored(o, p);
  if (!v)
    throw Error("a " + std::string(kKindNames[static_cast<int>(o.kind)]) + " has no \"" + prop_name(p) + "\"");
  return *v;
}

Value& Objects::store(Object& o, Prop p) {
  auto& props = extra_of(o).props;
  for (auto& [id, v] : props)
    if (id == p) return v;
  return props.emplace_back(p, Value()).second;
}

void Objects::unstore(Object& o, Prop p) {
  if (!o.extra) return;
  auto& props = o.extra->props;
  std::erase_if(props, [p](const auto& e) { return e.first == p; });
}

Row Objects::palette_row(std::uint16_t i) const {
  const auto& c = palette_[i];
  return row({c[0], c[1], c[2]});
}

// The palette entry holding exactly this 1×3 colour, added when new; -1 when v is no such
// colour or the palette is full.
int Objects::palette_index(const Value& v) {
  if (!v.is_matrix() || v.matrix().rows() != 1 || v.matrix().cols() != 3) return -1;
  return palette_index(Eigen::RowVector3d(v.matrix().row(0)));
}

int Objects::palette_index(const Eigen::RowVector3d& colour) {
  const std::array<double, 3> c{colour(0), colour(1), colour(2)};
  for (std::size_t i = 0; i < palette_.size(); ++i)
    if (std::memcmp(palette_[i].data(), c.data(), sizeof c) == 0) return static_cast<int>(i);
  if (palette_.size() >= kPaletteLimit) return -1;
  palette_.push_back(c);
  return static_cast<int>(palette_.size() - 1);
}

// A line's usual property from its compact record; nothing when it is another property or the
// value lives in the general list.
std::optional<Value> Objects::line_get(const Object& o, Prop p) const {
  switch (p) {
    case Prop::xdata:
    case Prop::ydata: {
      const Slot s = p == Prop::xdata ? o.x : o.y;
      if (s == Slot::empty) return Value();
      if (s == Slot::compact) return Value(p == Prop::xdata ? o.xdata : o.ydata);
      break;
    }
    case Prop::color:
      if (o.color_slot == Slot::compact) return Value(palette_row(o.color));
      break;
    case Prop::markerfacecolor:
      if (o.face_slot == Slot::empty) return Value("none");
      if (o.face_slot == Slot::compact) return Value(palette_row(o.face));
      break;
    case Prop::marker:
      if (o.marker_slot == Slot::compact) return Value(o.marker ? std::string(1, o.marker) : "none");
      break;
    case Prop::linestyle:
      if (o.style_slot == Slot::compact) return Value(kLineStyles[o.style]);
      break;
    case Prop::markersize:
      if (o.size_slot == Slot::compact) return Value(o.markersize);
      break;
    default: break;
  }
  return std::nullopt;
}

// Stores a line's usual property, compactly when the value has the usual form, else in the
// general list; false when it is another property.
bool Objects::line_set(Object& o, Prop p, const Value& v) {
  Slot* slot = nullptr;
  bool fits = false;
  switch (p) {
    case Prop::xdata:
    case Prop::ydata:
      slot = p == Prop::xdata ? &o.x : &o.y;
      if (v.is_matrix() && v.matrix().rows() == 0 && v.matrix().cols() == 0) {
        *slot = Slot::empty, fits = true;
      } else if (v.is_matrix() && v.matrix().rows() == 1 && v.matrix().cols() == 1) {
        (p == Prop::xdata ? o.xdata : o.ydata) = v.matrix()(0, 0);
        *slot = Slot::compact, fits = true;
      }
      break;
    case Prop::color:
      slot = &o.color_slot;
      if (const int i = palette_index(v); i >= 0) o.color = static_cast<std::uint16_t>(i), *slot = Slot::compact, fits = true;
      break;
    case Prop::markerfacecolor:
      slot = &o.face_slot;
      if (v.is_text() && v.text() == "none") {
        *slot = Slot::empty, fits = true;
      } else if (const int i = palette_index(v); i >= 0) {
        o.face = static_cast<std::uint16_t>(i), *slot = Slot::compact, fits = true;
      }
      break;
    case Prop::marker:
      slot = &o.marker_slot;
      if (v.is_text() && (v.text() == "none" || (v.text().size() == 1 && v.text()[0] != 0))) {
        o.marker = v.text() == "none" ? 0 : v.text()[0];
        *slot = Slot::compact, fits = true;
      }
      break;
    case Prop::linestyle:
      slot = &o.style_slot;
      for (std::uint8_t i = 0; v.is_text() && i < std::size(kLineStyles); ++i)
        if (v.text() == kLineStyles[i]) o.style = i, *slot = Slot::compact, fits = true;
      break;
    case Prop::markersize:
      slot = &o.size_slot;
      if (v.is_matrix() && v.matrix().rows() == 1 && v.matrix().cols() == 1)
        o.markersize = v.matrix()(0, 0), *slot = Slot::compact, fits = true;
      break;
    default: return false;
  }
  if (fits) {
    unstore(o, p);
  } else {
    *slot = Slot::general;
    store(o, p) = v;
  }
  return true;
}

Handle Objects::create(const std::string& type, Handle parent) {
  const std::string t = lower(type);
  const auto* named = std::find(std::begin(kKindNames) + 2, std::end(kKindNames), t);
  if (named == std::end(kKindNames)) throw Error("unknown graphics object type \"" + type + "\"");
  return make(static_cast<Kind>(named - std::begin(kKindNames)), parent);
}

Handle Objects::make(Kind kind, Handle parent) {
  Object& p = obj(parent);
  Handle h;
  if (kind == Kind::figure) {
    if (parent != 0) throw Error("a figure's parent must be the root (0)");
    h = 1;
    while (valid(h)) h += 1;
  } else {
    next_fraction_ += 1;
    h = 1000000.0 + next_fraction_ + 0.5;
  }
  extra_of(p).children.push_back(h);
  Object& o = insert(h);  // pages and map nodes never move: p stays valid
  o.kind = kind;
  o.parent = parent;
  if (kind != Kind::line) o.extra = std::make_unique<Extra>();
  if (kind == Kind::figure) {
    store(o, Prop::pos) = Value(row({200, 200, 900, 640}));
    store(o, Prop::units) = Value("pixels");
    store(o, Prop::pointer) = Value("arrow");
    store(o, Prop::visible) = Value("on");
    store(o, Prop::color) = Value(row({0.94, 0.94, 0.94}));
    store(o, Prop::activepositionproperty) = Value("outerposition");
    store(obj(0), Prop::currentfigure) = Value(h);
  } else if (kind == Kind::axes) {
    store(o, Prop::units) = Value("normalized");
    store(o, Prop::npos) = Value(row({0.13, 0.11, 0.775, 0.815}));
    store(o, Prop::xlim) = Value(row({0, 1}));
    store(o, Prop::ylim) = Value(row({0, 1}));
    store(o, Prop::nextplot) = Value("replace");
    store(o, Prop::dataaspectratiomode) = Value("auto");
    store(p, Prop::currentaxes) = Value(h);
  } else if (kind == Kind::uicontrol) {
    store(o, Prop::value) = Value(0.0);
    store(o, Prop::style) = Value("pushbutton");
    store(o, Prop::units) = Value("pixels");
    store(o, Prop::pos) = Value(row({20, 20, 60, 20}));
  }
  // A line starts with MarkerSize 6, MarkerFaceColor "none", Color black, LineStyle "-" and
  // Marker "none": the compact record's initial values.
  ++revision_;
  return h;
}

Handle Objects::figure(int n) {
  if (n < 1) throw Error("figure number must be a positive whole number, got " + std::to_string(n));
  const Handle h = n;
  if (!valid(h)) {
    // Create with the requested number: a figure is made through create() for the defaults,
    // then moved to handle n when create() chose another free number.
    const Handle made = make(Kind::figure, 0);
    if (made != h) {
      Object moved = std::move(whole_.at(made));
      whole_.erase(made);
      auto& kids = extra_of(obj(0)).children;
      kids.erase(std::remove(kids.begin(), kids.end(), made), kids.end());
      kids.push_back(h);
      whole_[h] = std::move(moved);
    }
  }
  set_current_figure(h);
  return h;
}

// When the current axes or figure of `parent` is among `gone`, the newest remaining child of
// the same kind becomes current, or none.
void Objects::forget_current(Object& parent, const std::vector<Handle>& gone) {
  const Extra& e = extra_of(parent);
  for (const Prop key : {Prop::currentaxes, Prop::currentfigure}) {
    const Value* current = stored(parent, key);
    if (!current || !current->is_matrix() || current->matrix().size() != 1 ||
        std::find(gone.begin(), gone.end(), current->scalar()) == gone.end())
      continue;
    unstore(parent, key);
    const Kind wanted = key == Prop::currentaxes ? Kind::axes : Kind::figure;
    for (auto c = e.children.rbegin(); c != e.children.rend(); ++c)
      if (obj(*c).kind == wanted) {
        store(parent, key) = Value(*c);
        break;
      }
  }
}

void Objects::remove(Handle h) {
  if (h == 0) throw Error("the root object (0) cannot be deleted");
  const Handle p = obj(h).parent;
  drop(h);
  Object& po = obj(p);
  auto& sib = extra_of(po).children;
  // The newest drawings go first, as a drawing is cleared: look from the end.
  auto it = std::find(sib.rbegin(), sib.rend(), h);
  if (it != sib.rend()) sib.erase(std::next(it).base());
  forget_current(po, {h});
  ++revision_;
}

std::string Objects::type(Handle h) const { return kKindNames[static_cast<int>(obj(h).kind)]; }
ObjectType Objects::kind(Handle h) const { return obj(h).kind; }
Handle Objects::parent(Handle h) const { return obj(h).parent; }
std::vector<Handle> Objects::children(Handle h) const {
  const Object& o = obj(h);
  return o.extra ? o.extra->children : std::vector<Handle>{};
}

void Objects::list_into(Handle h, std::vector<Handle>& out) const {
  out.push_back(h);
  const Object& o = obj(h);
  if (o.extra)
    for (Handle c : o.extra->children) list_into(c, out);
}

std::vector<Handle> Objects::listing(Handle h) const {
  std::vector<Handle> out;
  list_into(h, out);
  return out;
}

std::vector<Handle> Objects::find_by_tag(const std::string& tag) const {
  std::vector<Handle> out;
  for (Handle h : listing(0)) {
    const Value* v = stored(obj(h), Prop::tag);
    if (v && v->is_text() && v->text() == tag) out.push_back(h);
  }
  return out;
}

Handle Objects::figure_of(Handle h) const {
  while (valid(h) && h != 0) {
    if (obj(h).kind == Kind::figure) return h;
    h = obj(h).parent;
  }
  return 0;
}

Row Objects::pixel_position(Handle h) const {
  const Object& o = obj(h);
  if (o.kind == Kind::axes) {
    const Handle fig = figure_of(h);
    const Row n = stored_at(o, Prop::npos).matrix();
    const Row f = fig ? Row(stored_at(obj(fig), Prop::pos).matrix()) : row({0, 0, 1, 1});
    return row({n(0) * f(2), n(1) * f(3), n(2) * f(2), n(3) * f(3)});
  }
  const Value* pos = stored(o, Prop::pos);
  if (!pos)
    throw Error("Invalid handle " + handle_text(h) + ": a " + type(h) + " has no position");
  return pos->matrix();
}

double Objects::units_scale_x(Handle h, const std::string& units) const {
  const std::string u = lower(units);
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
  const std::string u = lower(units);
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
  if (lower(units) == "normalized" && o.kind != Kind::axes) {
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

Value Objects::get(Handle h, const std::string& name) const {
  if (const std::optional<Prop> p = known_prop(name)) return get(h, *p);
  obj(h);  // a name never stored anywhere: the empty value, for a valid handle
  return Value();
}

void Objects::set(Handle h, const std::string& name, const Value& v) { set(h, prop(name), v); }

Value Objects::get(Handle h, Prop p) const {
  const Object& o = obj(h);
  switch (p) {
    case Prop::type: return Value(kKindNames[static_cast<int>(o.kind)]);
    case Prop::parent: return Value(o.parent < 0 ? Matrix(0, 0) : Matrix::Constant(1, 1, o.parent));
    case Prop::children: {
      static const std::vector<Handle> none;
      const std::vector<Handle>& kids = o.extra ? o.extra->children : none;
      Matrix c(static_cast<Index>(kids.size()), kids.empty() ? 0 : 1);
      for (size_t i = 0; i < kids.size(); ++i) c(static_cast<Index>(i), 0) = kids[kids.size() - 1 - i];
      return Value(c);
    }
    case Prop::position:
    case Prop::outerposition:
      if (o.kind != Kind::root && o.kind != Kind::line && o.kind != Kind::text) return get_position(h, p);
      break;
    default: break;
  }
  if (o.kind == Kind::line)
    if (std::optional<Value> v = line_get(o, p)) return *std::move(v);
  const Value* v = stored(o, p);
  return v ? *v : Value();
}

void Objects::set(Handle h, Prop p, const Value& v) {
  Object& o = obj(h);
  if (p == Prop::type || p == Prop::children)
    throw Error("the property \"" + prop_name(p) + "\" of a graphics object cannot be set");
  if (p == Prop::parent) throw Error("moving an object to another parent is not supported");
  if ((p == Prop::position || p == Prop::outerposition) && o.kind != Kind::root && o.kind != Kind::line &&
      o.kind != Kind::text) {
    set_position(h, p, v);
  } else {
    if (p == Prop::markersize &&
        (!v.is_matrix() || v.matrix().size() != 1 || !(v.scalar() > 0) || !std::isfinite(v.scalar())))
      throw Error("MarkerSize must be a positive number, got " + describe(v));
    if (o.kind != Kind::line || !line_set(o, p, v)) store(o, p) = v;
  }
  ++revision_;
}

Value Objects::appdata(Handle h, const std::string& name) const {
  const Object& o = obj(h);
  if (!o.extra) return Value();
  auto it = o.extra->appdata.find(name);
  return it == o.extra->appdata.end() ? Value() : it->second;
}

void Objects::set_appdata(Handle h, const std::string& name, const Value& v) {
  extra_of(obj(h)).appdata[name] = v;
}

bool Objects::has_current_figure() const {
  const Value* v = stored(obj(0), Prop::currentfigure);
  return v && v->is_matrix() && v->matrix().size() == 1 && valid(v->scalar());
}

Handle Objects::gcf() {
  if (has_current_figure()) return stored_at(obj(0), Prop::currentfigure).scalar();
  return make(Kind::figure, 0);
}

Handle Objects::gca() {
  const Handle fig = gcf();
  const Value* v = stored(obj(fig), Prop::currentaxes);
  if (v && v->is_matrix() && v->matrix().size() == 1 && valid(v->scalar())) return v->scalar();
  return make(Kind::axes, fig);
}

void Objects::set_current_figure(Handle fig) {
  if (!valid(fig) || obj(fig).kind != Kind::figure)
    throw Error("Invalid handle " + handle_text(fig) + ": not a figure");
  store(obj(0), Prop::currentfigure) = Value(fig);
  store(obj(fig), Prop::raised) = Value(static_cast<double>(revision_ + 1));
  ++revision_;
}

std::vector<Handle> Objects::figures() const {
  std::vector<Handle> out;
  for (Handle c : obj(0).extra->children)
    if (obj(c).kind == Kind::figure) out.push_back(c);
  return out;
}

Handle Objects::line(Handle axes, const Row& x, const Row& y, const std::string& spec) {
  if (x.size() != y.size()) throw Error("line: x and y must have the same number of points");
  return line(axes, x, y, parse_linespec(spec));
}

Handle Objects::line(Handle axes, const Row& x, const Row& y, const LineSpec& ls) {
  if (x.size() != y.size()) throw Error("line: x and y must have the same number of points");
  if (!held(axes)) cla(axes);
  const Handle h = make(Kind::line, axes);
  Object& o = obj(h);
  if (x.size() == 1) {  // a marker: straight into the compact record
    o.xdata = x(0), o.ydata = y(0);
    o.x = o.y = Slot::compact;
  } else {
    line_set(o, Prop::xdata, Value(x));
    line_set(o, Prop::ydata, Value(y));
  }
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

void Objects::hold(Handle axes, bool on) { set(axes, Prop::nextplot, Value(on ? "add" : "replace")); }

bool Objects::held(Handle axes) const {
  const Value v = get(axes, Prop::nextplot);
  return v.is_text() && v.text() == "add";
}

void Objects::cla(Handle axes) {
  if (kind(axes) != Kind::axes) throw Error("cla: the object " + handle_text(axes) + " is not an axes");
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
      const Value xv = get(c, Prop::xdata), yv = get(c, Prop::ydata);
      const Matrix &xs = xv.matrix(), &ys = yv.matrix();
      for (Index i = 0; i < xs.size() && i < ys.size(); ++i) extend(xs.data()[i], ys.data()[i]);
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
