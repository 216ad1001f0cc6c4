#pragma once
// Everything that needs a real toolkit sits behind this interface: file dialogs, message and
// error dialogs, waits, redraw, the event loop and the clipboard. The Qt backend serves the
// window; the scripted backend serves the tests and the batch tool.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/objects.h"
#include "platform/run_control.h"

namespace tav {

// A file dialog's choice: the chosen name and its folder (ending in a separator). A dialog
// returns none when the user cancels it.
struct FileChoice {
  std::string name, folder;
  std::string path() const { return folder + name; }
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::optional<FileChoice> open_file(const std::string& filter,
                                              const std::string& title) = 0;
  virtual std::optional<FileChoice> save_file(const std::string& filter,
                                              const std::string& title) = 0;
  // A message box that does not wait for the user.
  virtual void message(const std::string& text) = 0;
  // An error dialog.
  virtual void error_dialog(const std::string& text) = 0;
  // A short note that asks nothing of the user (an action refused while another runs): the
  // window's status line and log, or the console.
  virtual void notice(const std::string& text) = 0;
  // Waits, serving window events meanwhile (a window) or not at all (headless).
  virtual void pause(double seconds) = 0;
  virtual void drawnow() = 0;
  // Called often during a long computation: a window serves its pending events when some tens
  // of milliseconds have passed since it last did; headless, nothing.
  virtual void serve_events() {}
  // A line of the user's log: what was read, which run ran and how it ended, what was written
  // (the console has it already; a window shows it in its log pane).
  virtual void say(const std::string& line) { (void)line; }
  // A file chosen for a load was read and taken (a window lists it among its recent files).
  virtual void file_loaded(const std::string& path) { (void)path; }
  // Serves window events until no figure is left open; returns the exit status.
  virtual int event_loop() = 0;
  // Puts a picture on the clipboard, as SVG text and as PNG bytes.
  virtual void to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) = 0;
  // Whether an action is running; a window holds other callbacks back meanwhile.
  virtual bool headless() const = 0;
};

// Dialog answers given in advance, messages recorded: tests and the batch tool.
class ScriptedBackend : public Backend {
 public:
  std::deque<std::optional<FileChoice>> answers;  // consumed by the dialogs in order
  std::vector<std::string> titles;                // the titles of the dialogs shown
  std::vector<std::string> messages, errors, notices;
  std::vector<double> pauses;
  int clipboard_writes = 0;
  std::string clipboard_svg;
  std::vector<std::uint8_t> clipboard_png;
  bool echo_to_stderr = false;  // the batch tool shows boxes on standard error

  // Queues the answer "this file was chosen" (split into folder and name) or a cancel.
  void choose(const std::string& path);
  void cancel();

  std::optional<FileChoice> open_file(const std::string& filter, const std::string& title) override;
  std::optional<FileChoice> save_file(const std::string& filter, const std::string& title) override;
  void message(const std::string& text) override;
  void error_dialog(const std::string& text) override;
  void notice(const std::string& text) override;
  void pause(double seconds) override { pauses.push_back(seconds); }
  void drawnow() override {}
  int event_loop() override { return 0; }
  void to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) override;
  bool headless() const override { return true; }

 private:
  std::optional<FileChoice> next(const std::string& title);
};

// The graphics side of a session: the object model, the backend serving it and what the
// window tells the session's runs.
struct Runtime {
  Objects objects;
  Backend* backend = nullptr;
  RunControl control;  // the window's Stop and pause per pass
  // Runs a control's "Callback" property (set by the program's shell); the window calls it.
  std::function<void(Handle source, const Value& callback)> run_callback;
  Handle callback_object = -1;  // the control whose callback is running, -1 when none
  // The backend, or a scripted one of this runtime when none was installed.
  Backend& ui() { return backend ? *backend : fallback; }

 private:
  ScriptedBackend fallback;
};

}  // namespace tav
