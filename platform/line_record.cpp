// A line's usual properties in its compact record, its colours as indices into the palette of
// every distinct colour a line was given.
#include <array>
#include <cstring>
#include <iterator>

#include "platform/objects.h"

namespace tav {
namespace {

constexpr const char* kLineStyles[] = {"-", ":", "--", "-.", "none"};
constexpr std::size_t kPaletteLimit = 65535;

}  // namespace

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
      if (o.marker_slot == Slot::compact)
        return Value(o.marker ? std::string(1, o.marker) : "none");
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

std::optional<std::span<const double>> Objects::line_numbers(const Object& o, Prop p) const {
  switch (p) {
    case Prop::xdata:
    case Prop::ydata: {
      const Slot s = p == Prop::xdata ? o.x : o.y;
      if (s == Slot::empty) return std::span<const double>();
      if (s == Slot::compact)
        return std::span<const double>(p == Prop::xdata ? &o.xdata : &o.ydata, 1);
      break;
    }
    case Prop::color:
      if (o.color_slot == Slot::compact) return std::span<const double>(palette_[o.color]);
      break;
    case Prop::markerfacecolor:
      if (o.face_slot == Slot::compact) return std::span<const double>(palette_[o.face]);
      break;
    case Prop::markersize:
      if (o.size_slot == Slot::compact) return std::span<const double>(&o.markersize, 1);
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
      if (const int i = palette_index(v); i >= 0)
        o.color = static_cast<std::uint16_t>(i), *slot = Slot::compact, fits = true;
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

}  // namespace tav
