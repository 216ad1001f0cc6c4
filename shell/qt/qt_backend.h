#pragma once
// The window backend on Qt Widgets: one top-level window per figure of the object model, kept
// in line with it; file, message and error dialogs; waits that keep the windows alive; the
// event loop; the clipboard. The application object is made only when a window must be shown,
// so command-line use needs no display.
//
// Its jobs, a file each: qt_backend.cpp keeps the windows in line with the figures;
// event_serving.cpp runs the controls' callbacks one at a time and serves events meanwhile;
// qt_dialogs.cpp shows the dialogs and messages; qt_clipboard.cpp fills the clipboard;
// desktop_settings.cpp keeps the settings and recent files between runs; desktop_commands.cpp
// answers the main window's menu commands, dropped files and pointer; console_tee.h feeds the
// log pane.
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/backend.h"
#include "shell/qt/console_tee.h"
#include "shell/qt/desktop_host.h"

class QApplication;
class QSettings;
class QTimer;
class QWidget;

namespace tav {

class FigureWindow;

class QtBackend : public Backend, public DesktopHost {
 public:
  // Serves the graphics runtime `runtime` (the window's session's), which must outlive the
  // backend: shows its figures and runs its controls' callbacks. Becomes the runtime's backend
  // until it ends.
  explicit QtBackend(Runtime& runtime);
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  std::optional<FileChoice> open_file(const std::string& filter, const std::string& title) override;
  std::optional<FileChoice> save_file(const std::string& filter, const std::string& title) override;
  void message(const std::string& text) override;
  void file_loaded(const std::string& path) override;
  void say(const std::string& line) override;
  void error_dialog(const std::string& text) override;
  // In the main window's status line for a few seconds, and in the log.
  void notice(const std::string& text) override;
  void pause(double seconds) override;
  void drawnow() override;
  // Serves pending events at most every serve_every_ms, so that a long run or Load repaints,
  // answers Stop and Esc, and refuses other actions meanwhile.
  void serve_events() override;
  int event_loop() override;
  void to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) override;
  bool headless() const override { return false; }

  // File dialog answers given in advance (tests): used, in order, before any dialog is shown.
  std::deque<std::optional<FileChoice>> answers;
  // During a long computation, events are served at its ticks at most this often: often enough
  // that the window follows the pointer and answers Stop at once, seldom enough to cost little.
  int serve_every_ms = 40;

  // Brings the windows in line with the object model: windows for new figures, closed ones
  // for removed figures, controls, texts, positions and drawings updated.
  void sync();
  // The window of a figure and the widget of a control or axes (nullptr when not shown).
  QWidget* window(Handle fig) const;
  QWidget* widget(Handle h) const;
  // The user activated a control: its callback runs now (or, while events are served outside
  // any action, right after). While an action runs it is refused with a note in the status
  // line; returns false then.
  bool activate(Handle control);
  // Whether a callback (or a wait) is running, so that others are held back.
  bool busy() const override { return busy_; }
  // Whether an action (a control's callback, a dropped file, a close) is running.
  bool working() const { return working_; }

  // What the main window asks of the program (set by it; empty: not asked). The main window is
  // the figure whose application data "DesktopWindow" is 1: it gets menus, a log pane and a
  // status line.
  std::function<std::string(double x, double y, double rx, double ry)> describe_point;
  std::function<void(double x, double y, double rx, double ry)> highlight_point;
  std::function<std::string(const std::string& path)> load_action_for;  // "Load", ...
  // Settings kept between runs (window place and size, check boxes, last folder, recent
  // files, pause per pass, log shown): off unless `remember`; in settings_file (an INI file)
  // when it is named, else where Qt keeps the user's settings.
  bool remember = false;
  QString settings_file;

  // The console also goes to the main window's log pane from now until the backend ends.
  void attach_console() { console_tee_.attach(); }
  // The main window, or nullptr.
  FigureWindow* desktop_window() const;
  // A file dropped on the main window or picked from the recent files: read by the load its
  // content asks for (load_action_for), as if chosen in that load's dialog.
  void open_path(const QString& path) override;
  std::string describe_point_at(double x, double y, double rx, double ry) const override;
  void highlight_at(double x, double y, double rx, double ry) override;
  // A menu command of the main window (see desktop_menus.h).
  void menu_command(FigureWindow& window, const std::string& name) override;
  QStringList recent_files() const override;
  // Stores the window's place and size and its check boxes (when remembering).
  void remember_window(FigureWindow& window) override;
  // Closes every window after the running action, which is asked to stop.
  void quit();

 private:
  // Makes the application object when a display is there to show windows on; false without.
  bool ensure_application();
  std::optional<std::optional<FileChoice>> given_answer();
  // What a file dialog gives for `path`: its name, and its folder with a separator at the end;
  // a cancel for "".
  static std::optional<FileChoice> choice_of(const QString& path);
  void run_when_free(std::function<void()> work);
  void run_callback(Handle control);
  void drain_held();
  void close_figure(Handle fig);
  // While an action runs: asks it to stop, says that the windows close when it has ended.
  void stop_before_closing();
  // While an action runs: refuses `label` (what the user asked for) with a note; true then.
  bool refused(const std::string& label);
  QWidget* dialog_parent();
  // An error met while serving the windows: kept as the runtime's last error and written to the
  // console, never thrown into Qt's event loop or the computation that served events.
  void report(const std::exception& e);

  std::unique_ptr<QSettings> settings() const;
  void add_recent(const QString& path);
  void remember_folder(const QString& folder);
  QString start_folder() const;
  void restore_window(FigureWindow& window);
  // What the console got since, into the main window's log pane (kept until there is one).
  void flush_log();
  bool shows(Handle fig) const;

  // How often the windows look for changes of the object model while events are served.
  static constexpr int kPollMs = 30;

  Runtime& runtime_;
  Objects& gr_;  // runtime_.objects
  std::unique_ptr<QApplication> own_app_;
  ConsoleTee console_tee_;
  // The one message box open: modal to the window, a later message added to it, closed when
  // the next action starts (it told of the state before that action).
  QPointer<QMessageBox> box_;
  void show_box(QMessageBox::Icon icon, const QString& title, const std::string& text);
  std::unique_ptr<QTimer> poll_;

  struct Shown {
    FigureWindow* window = nullptr;
    double serial = 0;  // also kept in the figure's application data: a figure of a fresh
                        // object model with the same number is another figure
    Value raised;       // the last raise request served
  };
  std::map<Handle, Shown> windows_;
  double next_serial_ = 0;
  std::uint64_t synced_revision_ = 0;
  bool busy_ = false;
  bool working_ = false;
  std::string running_label_;  // the control whose callback runs, as the user sees it
  std::deque<std::function<void()>> held_;
  QElapsedTimer served_;  // since events were last served during a computation
};

}  // namespace tav
