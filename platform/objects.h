#pragma once
// The graphics object model: root 0, figures, axes, lines, texts and user-interface controls,
// each named by a numeric handle, with named properties whose names ignore case, and named
// application data. Plain C++ with no toolkit: the engine and the plots run headless on it;
// a window (or an exporter) only reads it.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/value.h"

namespace tav {

using Handle = double;

// A parsed line specification such as "b*", "ko", "k:", "rs".
struct LineSpec {
  Eigen::RowVector3d color{0, 0, 0};
  std::string marker = "none";     // ".", "o", "*", "+", "x", "s", "d", "none"
  std::string line_style = "none"; // "-", ":", "--", "-.", "none"
};
// Raises Error naming the text when it is not a line specification.
LineSpec parse_linespec(const std::string& spec);
Eigen::RowVector3d color_of_letter(char c);

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
  std::string type(Handle h) const;
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

 private:
  struct Object {
    std::string type;
    Handle parent = 0;
    std::vector<Handle> children;
    std::map<std::string, Value> props;  // lower-case names
    std::map<std::string, Value> appdata;
  };
  Object& obj(Handle h);
  const Object& obj(Handle h) const;
  void erase_subtree(Handle h);  // h and everything below it, without unlinking h
  Value defaults(const Object& o, const std::string& lname) const;
  void set_position(Handle h, const std::string& lname, const Value& v);
  Value get_position(Handle h, const std::string& lname) const;
  double units_scale_x(Handle h, const std::string& units) const;
  double units_scale_y(Handle h, const std::string& units) const;

  std::map<Handle, Object> objects_;
  double next_fraction_ = 0;
  std::uint64_t revision_ = 0;
};

// Size of one "characters" unit in pixels (width, height).
constexpr double kCharWidthPx = 7.0, kCharHeightPx = 16.0;

}  // namespace tav
