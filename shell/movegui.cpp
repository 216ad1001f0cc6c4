#include <algorithm>
#include <array>
#include <string>

#include "platform/backend.h"
#include "platform/console.h"
#include "shell/framework.h"

namespace tav {
namespace {

constexpr std::array<const char*, 10> kPositions = {
    "north",     "south",     "east",      "west",   "northeast",
    "southeast", "northwest", "southwest", "center", "onscreen"};

// What the arguments name: the window (empty: not given) and the place, a name or a pair.
struct Placement {
  Value fig;
  Value position;
};

bool is_single_valid_handle(const Objects& gr, const Value& v) {
  return v.is_matrix() && v.matrix().size() == 1 && gr.valid(v.scalar());
}

Placement read_arguments(const Runtime& rt, const std::vector<Value>& args) {
  if (args.size() > 3)
    throw Error(
        "Too many input arguments: movegui takes at most three (a window, a position "
        "and the callback's event data), got " +
        std::to_string(args.size()));
  Placement p;
  for (size_t i = 0; i < args.size(); ++i) {
    const Value& a = args[i];
    if (is_single_valid_handle(rt.objects, a)) {
      p.fig = parent_figure(rt.objects, a);
      if (p.fig.empty()) throw Error("handle of figure or descendant required");
    } else if (a.is_text()) {
      if (std::find_if(kPositions.begin(), kPositions.end(),
                       [&](const char* n) { return a.text() == n; }) == kPositions.end())
        throw Error("unrecognized position");
      p.position = a;
    } else if (a.is_matrix() && a.matrix().size() == 2) {
      p.position = a;
    } else if (rt.callback_object != -1 && i == 1) {
      // A callback's event data.
    } else {
      throw Error("unrecognized input argument");
    }
  }
  return p;
}

Handle window_to_move(Runtime& rt, const Value& given) {
  Objects& gr = rt.objects;
  if (!given.empty()) return given.scalar();
  if (rt.callback_object != -1 && gr.valid(rt.callback_object)) {
    const Value fig = parent_figure(gr, Value(rt.callback_object));
    if (!fig.empty()) return fig.scalar();
  }
  return gr.gcf();
}

Row screen_size(Objects& gr) {
  const Value units = gr.get(0, "units");
  gr.set(0, "units", Value("pixels"));
  const Row size = gr.get(0, "screensize").matrix();
  gr.set(0, "units", units);
  return size;
}

// Lower-left outer corner for the place, given the outer size (fw, fh) already cut to the
// screen (sw, sh) and the current outer position.
Row new_corner(const Value& position, const Row& oldpos, double sw, double sh, double fw,
               double fh) {
  if (position.is_matrix()) {
    const Matrix& xy = position.matrix();
    double x = xy.data()[0], y = xy.data()[1];
    if (x < 0) x = sw - fw + x;
    if (y < 0) y = sh - fh + y;
    return row({x, y});
  }
  const std::string& name = position.text();
  if (name == "north") {
    const Row newpos = row({(sw - fw) / 2, sh - fh});
    console_show("newpos", Value(newpos));
    return newpos;
  }
  if (name == "south") return row({(sw - fw) / 2, 0});
  if (name == "east") return row({sw - fw, (sh - fh) / 2});
  if (name == "west") return row({0, (sh - fh) / 2});
  if (name == "northeast") return row({sw - fw, sh - fh});
  if (name == "southeast") return row({sw - fw, 0});
  if (name == "northwest") return row({0, sh - fh});
  if (name == "southwest") return row({0, 0});
  if (name == "center") return row({(sw - fw) / 2, (sh - fh) / 2});
  // "onscreen": the current corner, kept inside the screen.
  return row(
      {std::min(std::max(oldpos(0), 0.0), sw - fw), std::min(std::max(oldpos(1), 0.0), sh - fh)});
}

}  // namespace

void movegui(Runtime& rt, const std::vector<Value>& args) {
  Objects& gr = rt.objects;
  const Placement placement = read_arguments(rt, args);
  const Handle fig = window_to_move(rt, placement.fig);
  const Value position = placement.position.empty() ? Value("onscreen") : placement.position;

  rt.ui().drawnow();
  const Value active = gr.get(fig, "activepositionproperty");
  const Value units = gr.get(fig, "units");
  gr.set(fig, "units", Value("pixels"));
  const Row inpos = gr.get(fig, "position").matrix();
  const Row oldpos = gr.get(fig, "outerposition").matrix();
  const Row screen = screen_size(gr);
  const double sw = screen(2), sh = screen(3);
  double fw = std::min(oldpos(2), sw), fh = std::min(oldpos(3), sh);

  const Row newpos = new_corner(position, oldpos, sw, sh, fw, fh);
  // A toolkit that reports the outer position without the frame: add the frame's size.
  if (inpos(2) > oldpos(2) && inpos(3) > oldpos(3)) fw += 6, fh += 24;
  gr.set(fig, "outerposition", Value(row({newpos(0), newpos(1), fw, fh})));

  gr.set(fig, "units", units);
  gr.set(fig, "activepositionproperty", active);
}

}  // namespace tav
