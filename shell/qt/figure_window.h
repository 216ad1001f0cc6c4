#pragma once
// One figure of the object model as a top-level Qt window: its axes painted by the cairo
// renderer, its controls as Qt widgets at their positions (the model counts y from the bottom,
// Qt from the top). The controls lie on a panel that scrolls by itself when the window is lower
// than the controls need; the axes always fit the window. A resize by the user keeps the controls
// at their distance from the top-left corner and gives the extra room to axes laid out in fixed
// units; normalised ones scale. The mouse zooms (wheel, about the pointer), pans (drag) and fits
// (double click) the axes.
//
// The program's main window (a desktop window) also has a menu bar with the actions of its
// controls and their shortcuts, a status line with the run's progress and a Stop button, a
// collapsible log pane that shows what the console shows, accepts dropped files and answers
// questions about the point under the pointer.
//
// Its parts, a file each: figure_window.cpp builds the window and keeps its controls in line
// with the model; desktop_chrome.cpp the main window's menus, log pane and status line;
// pointer_navigation.cpp the zoom, pan and questions of the pointer; window_frame.cpp what the
// window system sees and does (title, place and size both ways, close, dropped files).
#include <QWidget>
#include <functional>
#include <map>

#include "platform/objects.h"

class QAction;
class QCheckBox;
class QUrl;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolButton;

namespace tav {

class DesktopHost;
struct AxesBox;

class FigureWindow : public QWidget {
 public:
  using ControlHandler = std::function<void(Handle)>;
  // Answers false when the control's action is refused (another is running).
  using ActivateHandler = std::function<bool(Handle)>;
  // objects: the object model holding `fig` (the window's session's), which outlives the window.
  // on_activate: a control was clicked (a refused check box or edit field is set back);
  // on_close: the user asked to close the window.
  // desktop: what a main window (menus, log, status) asks of the program, or nullptr for a
  // plain figure window.
  FigureWindow(Objects& objects, Handle fig, ActivateHandler on_activate, ControlHandler on_close,
               DesktopHost* desktop = nullptr);

  Handle figure() const { return fig_; }
  Objects& objects() const { return gr_; }
  bool desktop() const { return desktop_ != nullptr; }
  // Reads the figure and its children from the model and updates the window.
  void sync();
  QWidget* widget(Handle h) const;
  // Paints the axes now (used while an action runs and events are served only briefly).
  void repaint_axes();

  // Desktop windows only (nullptr otherwise): the menu action named by its object name (the
  // tag of the control it stands for, or "Quit", "Stop", "ShowLog", "FitDrawing", "Guide",
  // "About", "Pause<ms>"), the log pane, the status line's text and the Stop button.
  QAction* action(const QString& name) const;
  QMenu* recent_menu() const { return recent_menu_; }
  QPlainTextEdit* log_pane() const { return log_; }
  QString status_text() const;
  // A note shown over the status line's text for `ms` milliseconds, and the one shown now.
  void show_notice(const QString& text, int ms);
  QString notice_text() const;
  QPushButton* stop_button() const { return stop_; }
  // The log pane shows the user's lines (what was read, run, written, every warning); with its
  // "Show working values" switch on, everything the console shows instead.
  void append_log(const QString& text);       // the console's text
  void append_user_log(const QString& line);  // a line for the user
  QCheckBox* working_values_switch() const { return working_values_; }
  void set_log_visible(bool on);
  // The pointer moved to, was pressed or released at, or the wheel turned at a place of the
  // surface (the mouse events land here; tests call them directly).
  void pointer_moved(QPointF at, bool button_down);
  void pointer_pressed(QPointF at);
  void pointer_released(QPointF at);
  void wheel_turned(QPointF at, double steps);  // positive: zoom in
  void fit_drawing();
  // The surface's place of a data point of the main axes (for tests and screenshots).
  QPointF surface_point(double x, double y) const;
  QWidget* surface() const { return surface_; }
  // The scrolling panel that holds the controls (beside the axes, which do not scroll).
  QScrollArea* control_panel() const { return panel_scroll_; }
  void refresh_recent();
  // Files dropped on the window, in order: each read by the load its content asks for.
  void drop_files(const QList<QUrl>& urls);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_desktop();
  void build_menus();
  void sync_geometry();
  void sync_desktop();
  void add_to_pane(const QString& text);
  void refill_log();  // after the switch: the pane shows its other text
  // The status line between runs: the point under the pointer, else the last step's account.
  QString idle_status() const;
  void sync_children(Handle parent, QWidget* host, double host_height);
  QWidget* make_widget(Handle h, QWidget* host);
  void update_widget(Handle h, QWidget* w, double host_height);
  void surface_resized();
  void place_panel();
  void follow_resize(double dw, double dh);
  void store_outer_corner();
  QSize chrome() const;
  // The pointer's events on the canvas: true when taken (every mouse event is).
  bool pointer_event(QEvent* event);
  // The axes under a surface point and the box its data fill; -1 when none.
  Handle axes_at(QPointF at, AxesBox* box) const;
  void click_control(const char* tag);

  Objects& gr_;
  Handle fig_;
  ActivateHandler on_activate_;
  ControlHandler on_close_;
  DesktopHost* desktop_;
  QWidget* surface_ = nullptr;
  QWidget* canvas_ = nullptr;  // the figure's drawing, under the controls
  QScrollArea* panel_scroll_ = nullptr;
  QWidget* panel_ = nullptr;  // the controls' host, inside panel_scroll_
  QMenuBar* menus_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  QWidget* log_box_ = nullptr;  // the pane: the log and its switch, below the drawing
  QCheckBox* working_values_ = nullptr;
  QString user_log_, console_log_;  // what the pane shows with the switch off, and on
  QStatusBar* status_bar_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* stop_ = nullptr;
  QToolButton* log_toggle_ = nullptr;
  QString hover_text_;
  std::map<Handle, QWidget*> widgets_;
  std::map<QString, QAction*> actions_;
  Row applied_pos_;  // the model position last given to the window, in pixels
  bool applying_ = false;
  // A press in axes: where, and the limits then (a drag pans from them).
  Handle pressed_axes_ = -1;
  QPointF pressed_at_;
  Row pressed_limits_;
  bool dragged_ = false;
};

}  // namespace tav
