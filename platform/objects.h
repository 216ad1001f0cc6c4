#pragma once
// The graphics object model: root 0, figures, axes, lines, texts and user-interface controls,
// each named by a numeric handle, with named properties whose names ignore case, and named
// application data. Plain C++ with no toolkit: the engine and the plots run headless on it;
// a window (or an exporter) only reads it.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/value.h"

namespace tav {

using Handle = double;

// A parsed line specification such as "b*", "ko", "k:", "rs".
struct LineSpec {
  Eigen::RowVector3d color{0, 0, 0};
  std::string marker = "none";      // ".", "o", "*", "+", "x", "s", "d", "none"
  std::string line_style = "none";  // "-", ":", "--", "-.", "none"
};
// Raises Error naming the text when it is not a line specification.
LineSpec parse_linespec(const std::string& spec);
Eigen::RowVector3d color_of_letter(char c);

// A property name resolved once to a number, so that finding a property compares numbers, not
// text. The usual names have these fixed ids; any other name gets the next free id the first
// time it is stored. Names ignore case.
enum class Prop : std::uint32_t {
  xdata,
  ydata,
  color,
  markerfacecolor,
  marker,
  linestyle,
  markersize,
  linewidth,
  type,
  parent,
  children,
  position,
  outerposition,
  units,
  tag,
  string,
  fontsize,
  value,
  style,
  nextplot,
  xlim,
  ylim,
  dataaspectratiomode,
  currentaxes,
  currentfigure,
  screensize,
  pos,
  npos,
  raised,  // the stored pixel position, the axes' normalized one, the raise count
  pointer,
  visible,
  activepositionproperty,
  defaultuicontrolbackgroundcolor,
  callback,
  name,
  usual_count
};
Prop prop(std::string_view name);                       // interns a new name
std::optional<Prop> known_prop(std::string_view name);  // nothing when never interned
const std::string& prop_name(Prop p);                   // lower case

// The kind of a graphics object, as "Type" names it.
enum class ObjectType : std::uint8_t { none, root, figure, axes, line, text, uicontrol, uipanel };

class Objects {
 public:
  Objects();

  // New object of `type` ("figure", "axes", "line", "text", "uicontrol") under `parent`.
  // A figure gets the lowest free whole-number handle; other objects fractional handles.
  Handle create(const std::string& type, Handle parent);
  // Makes figure n current, creating it when missing (with one axes-less window).
  Handle figure(int n);
  void remove(Handle h);  // the object and everything below it
  bool valid(Handle h) const;

  // Properties; names ignore case. Reading a property never set gives its default, or the
  // empty value. "Children" (newest first), "Parent" and "Type" are derived. Reading from or
  // writing to an invalid handle raises Error.
  Value get(Handle h, const std::string& name) const;
  void set(Handle h, const std::string& name, const Value& v);
  Value get(Handle h, Prop p) const;
  void set(Handle h, Prop p, const Value& v);
  // The numbers get(h, p) would give, read in place instead of copied (a drawn sample's XData
  // holds a million), element by element in the matrix's order. Valid until the model next
  // changes. A property never set gives none; one holding no matrix (a text, a list, a
  // structure), and Type, Parent, Children and the Position of figures, axes and controls
  // (worked out when read), raise Error.
  std::span<const double> numbers(Handle h, Prop p) const;
  std::string type(Handle h) const;
  ObjectType kind(Handle h) const;
  Handle parent(Handle h) const;
  std::vector<Handle> children(Handle h) const;  // creation order
  // The object and all below it, depth first in creation order (hidden ones included).
  std::vector<Handle> listing(Handle h) const;
  std::vector<Handle> find_by_tag(const std::string& tag) const;
  // The figure that holds h (h itself for a figure); 0 when h is the root or invalid.
  Handle figure_of(Handle h) const;
  // Position [left bottom width height] in pixels, whatever "Units" says: a figure's on the
  // screen, an axes' or a control's inside its figure (origin at the figure's bottom left).
  Row pixel_position(Handle h) const;

  Value appdata(Handle h, const std::string& name) const;  // empty when never stored
  void set_appdata(Handle h, const std::string& name, const Value& v);

  // Current figure and axes, created when missing.
  Handle gcf();
  Handle gca();
  bool has_current_figure() const;
  void set_current_figure(Handle fig);  // also raises it: the window is told by revision()
  std::vector<Handle> figures() const;

  // Drawing into axes.
  Handle line(Handle axes, const Row& x, const Row& y, const std::string& spec);
  // The same with the line style text ("b*", "k:") parsed once, for many lines in one style.
  Handle line(Handle axes, const Row& x, const Row& y, const LineSpec& spec);
  // The same taking x and y (rows of equal length) as XData and YData without copying them: a
  // drawn sample's are a million numbers each.
  Handle line_from(Handle axes, Matrix&& x, Matrix&& y, const LineSpec& spec);
  Handle text(Handle axes, double x, double y, const std::string& s);
  void hold(Handle axes, bool on);
  bool held(Handle axes) const;
  void cla(Handle axes);  // removes every drawn child, keeps the axes
  void axis_auto(Handle axes);
  void axis_equal(Handle axes);
  Row axis(Handle axes) const;  // [xmin xmax ymin ymax]
  void axis(Handle axes, const Row& limits);

  // Increases with every change; a window repaints when it moved.
  std::uint64_t revision() const { return revision_; }

  // Whether the plots build graphics objects in this model (on unless switched off). Off, they
  // still check their input and write their working values to the console, but draw nothing: a
  // run without a screen and without a picture to write needs no drawing. Returns the earlier
  // state.
  bool set_drawing(bool on) { return std::exchange(drawing_, on); }
  bool drawing() const { return drawing_; }

 private:
  using Kind = ObjectType;
  // Where a line keeps one of its usual properties: in its compact record, or (any other kind
  // of value) in the general property map under its own name.
  enum class Slot : std::uint8_t { empty, compact, general };
  // Children, general properties and application data: every object but a plain line has them.
  struct Extra {
    std::vector<Handle> children;
    std::vector<std::pair<Prop, Value>> props;  // few per object: searched in order
    std::map<std::string, Value> appdata;
  };
  // One object. A line drawn as a single point (the sample's markers, by the hundred thousand)
  // fits in this record alone: its XData and YData as single numbers, its colours as indices
  // into the palette, marker and line style as codes, MarkerSize as a number.
  struct Object {
    Handle parent = 0;
    std::unique_ptr<Extra> extra;
    double xdata = 0, ydata = 0, markersize = 6;
    std::uint16_t color = 0, face = 0;  // palette indices
    Kind kind = Kind::none;
    char marker = 0;         // 0: "none"
    std::uint8_t style = 0;  // index into the line styles
    Slot x = Slot::empty, y = Slot::empty, color_slot = Slot::compact, face_slot = Slot::empty,
         marker_slot = Slot::compact, style_slot = Slot::compact, size_slot = Slot::compact;
  };
  // Objects with fractional handles, in pages by creation number; a page goes when its last
  // object does, so a cleared drawing gives its memory back.
  static constexpr std::size_t kPageSize = 1024;
  struct Page {
    std::array<Object, kPageSize> entries;  // not "slots": a Qt macro
    std::size_t live = 0;
  };

  Object* find(Handle h);
  const Object* find(Handle h) const;
  Object& obj(Handle h);
  const Object& obj(Handle h) const;
  Object& insert(Handle h);
  Handle make(Kind kind, Handle parent);
  Handle make_line(Handle axes, const LineSpec& spec);  // in spec's style, without points
  void drop(Handle h);  // h and everything below it, leaving h's parent's list of children alone
  void forget_current(Object& parent, const std::vector<Handle>& gone);
  void list_into(Handle h, std::vector<Handle>& out) const;
  static Extra& extra_of(Object& o);
  static const Value* stored(const Object& o, Prop p);
  static const Value& stored_at(const Object& o, Prop p);
  static Value& store(Object& o, Prop p);  // the stored value, added empty when missing
  static void unstore(Object& o, Prop p);
  std::optional<Value> line_get(const Object& o, Prop p) const;
  // A line's usual numeric property in its compact record, in place (none for an empty XData
  // or YData); nothing when the value is elsewhere or is a text (the marker, the line style, a
  // face colour "none").
  std::optional<std::span<const double>> line_numbers(const Object& o, Prop p) const;
  bool line_set(Object& o, Prop p, const Value& v);
  int palette_index(const Value& v);
  int palette_index(const Eigen::RowVector3d& c);
  Row palette_row(std::uint16_t i) const;
  void set_position(Handle h, Prop p, const Value& v);
  Value get_position(Handle h, Prop p) const;
  double units_scale_x(Handle h, const std::string& units) const;
  double units_scale_y(Handle h, const std::string& units) const;

  std::map<Handle, Object> whole_;  // the root and the figures (whole-number handles)
  std::vector<std::unique_ptr<Page>> pages_;
  std::vector<std::array<double, 3>> palette_;  // every distinct colour a line was given
  double next_fraction_ = 0;
  std::uint64_t revision_ = 0;
  bool drawing_ = true;
};

// Size of one "characters" unit in pixels (width, height).
constexpr double kCharWidthPx = 7.0, kCharHeightPx = 16.0;

}  // namespace tav
