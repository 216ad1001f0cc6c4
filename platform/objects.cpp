#include "platform/objects.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <iterator>
#include <mutex>
#include <unordered_map>

#include "platform/format.h"
#include "platform/objects_detail.h"

namespace tav {

using objects_detail::handle_text;
using objects_detail::kKindNames;

namespace {

// Every property name met so far, by id; the usual names first, in the order of Prop.
class PropNames {
 public:
  PropNames() {
    for (const char* n : {"xdata",
                          "ydata",
                          "color",
                          "markerfacecolor",
                          "marker",
                          "linestyle",
                          "markersize",
                          "linewidth",
                          "type",
                          "parent",
                          "children",
                          "position",
                          "outerposition",
                          "units",
                          "tag",
                          "string",
                          "fontsize",
                          "value",
                          "style",
                          "nextplot",
                          "xlim",
                          "ylim",
                          "dataaspectratiomode",
                          "currentaxes",
                          "currentfigure",
                          "screensize",
                          "__pos",
                          "__npos",
                          "__raised",
                          "pointer",
                          "visible",
                          "activepositionproperty",
                          "defaultuicontrolbackgroundcolor",
                          "callback",
                          "name"})
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
        buf[i] =
            name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
      key = std::string_view(buf, name.size());
    } else {
      long_name = lower_case(std::string(name));
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

Handle Objects::create(const std::string& type, Handle parent) {
  const std::string t = lower_case(type);
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
      for (size_t i = 0; i < kids.size(); ++i)
        c(static_cast<Index>(i), 0) = kids[kids.size() - 1 - i];
      return Value(c);
    }
    case Prop::position:
    case Prop::outerposition:
      if (o.kind != Kind::root && o.kind != Kind::line && o.kind != Kind::text)
        return get_position(h, p);
      break;
    default: break;
  }
  if (o.kind == Kind::line)
    if (std::optional<Value> v = line_get(o, p)) return *std::move(v);
  const Value* v = stored(o, p);
  return v ? *v : Value();
}

std::span<const double> Objects::numbers(Handle h, Prop p) const {
  const Object& o = obj(h);
  const bool worked_out = p == Prop::type || p == Prop::parent || p == Prop::children ||
                          ((p == Prop::position || p == Prop::outerposition) &&
                           o.kind != Kind::root && o.kind != Kind::line && o.kind != Kind::text);
  if (worked_out)
    throw Error("the property \"" + prop_name(p) +
                "\" is worked out when read: read it as a value, not in place");
  const auto refuse = [&](const Value& v) {
    return Error("the property \"" + prop_name(p) + "\" of the graphics object " + handle_text(h) +
                 " holds " + describe(v) + ", not numbers");
  };
  if (o.kind == Kind::line) {
    if (const auto in_record = line_numbers(o, p)) return *in_record;
    if (const std::optional<Value> text = line_get(o, p)) throw refuse(*text);
  }
  const Value* v = stored(o, p);
  if (!v) return {};
  if (!v->is_matrix()) throw refuse(*v);
  return {v->matrix().data(), static_cast<size_t>(v->matrix().size())};
}

void Objects::set(Handle h, Prop p, const Value& v) {
  Object& o = obj(h);
  if (p == Prop::type || p == Prop::children)
    throw Error("the property \"" + prop_name(p) + "\" of a graphics object cannot be set");
  if (p == Prop::parent) throw Error("moving an object to another parent is not supported");
  if ((p == Prop::position || p == Prop::outerposition) && o.kind != Kind::root &&
      o.kind != Kind::line && o.kind != Kind::text) {
    set_position(h, p, v);
  } else {
    if (p == Prop::markersize && (!v.is_matrix() || v.matrix().size() != 1 || !(v.scalar() > 0) ||
                                  !std::isfinite(v.scalar())))
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

}  // namespace tav
