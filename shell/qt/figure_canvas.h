#pragma once
// The surface a figure is drawn on: its background and every visible axes of it at its place,
// painted by the cairo renderer. The controls lie on top of it; the pointer's events on it are
// the window's (see pointer_navigation.cpp).
#include <QWidget>
#include <string>

#include "platform/objects.h"

namespace tav {

class FigureCanvas : public QWidget {
 public:
  // objects: the model holding `fig`, which outlives the canvas.
  FigureCanvas(const Objects& objects, Handle fig, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Objects& gr_;
  Handle fig_;
  std::string last_failure_;  // told once on the console, not at every repaint
};

}  // namespace tav
