#pragma once
// One figure of the object model as a top-level Qt window: its axes painted by the cairo
// renderer, its controls as Qt widgets at their positions (the model counts y from the bottom,
// Qt from the top). A resize by the user keeps the controls at their distance from the top-left
// corner and gives the extra room to axes laid out in fixed units; normalised ones scale.
#include <QWidget>
#include <functional>
#include <map>

#include "platform/objects.h"

namespace tav {

class FigureWindow : public QWidget {
 public:
  using ControlHandler = std::function<void(Handle)>;
  // on_activate: a control was clicked; on_close: the user asked to close the window.
  FigureWindow(Handle fig, ControlHandler on_activate, ControlHandler on_close);

  Handle figure() const { return fig_; }
  // Reads the figure and its children from the model and updates the window.
  void sync();
  QWidget* widget(Handle h) const;
  // Paints the axes now (used while an action runs and events are served only briefly).
  void repaint_axes();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void sync_geometry();
  void sync_children(Handle parent, QWidget* host, double host_height);
  QWidget* make_widget(Handle h, QWidget* host);
  void update_widget(Handle h, QWidget* w, double host_height);
  void follow_resize(double dw, double dh);
  void store_outer_corner();

  Handle fig_;
  ControlHandler on_activate_, on_close_;
  std::map<Handle, QWidget*> widgets_;
  Row applied_pos_;  // the model position last given to the window, in pixels
  bool applying_ = false;
};

}  // namespace tav
