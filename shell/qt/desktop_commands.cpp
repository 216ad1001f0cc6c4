// What the main window asks of the Qt backend: its menu commands (quit, stop, fit, the log pane,
// the pause per pass, the guide and the about box), a dropped or recent file read by the load its
// content asks for, and the questions of the pointer, passed on to the program.
#include <QAction>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include "platform/console.h"
#include "platform/run_control.h"
#include "shell/qt/desktop_menus.h"
#include "shell/qt/figure_window.h"
#include "shell/qt/qt_backend.h"

#ifndef TAV_VERSION
#define TAV_VERSION "unknown"
#endif

namespace tav {
namespace {

const char* const kGuide =
    "1. File > Load sample (Ctrl+O): one specimen per line, x1 y1 ... xk yk and a trailing "
    "value, or a TPS file. Files can also be dropped on the window.\n"
    "2. Choose the run in the Run menu or the Run settings, then File > Load protocol and run "
    "(Ctrl+P): rows \"curve 0 point type\" (curve 0: landmarks; negative: closed curves; "
    "positive: open curves; type 0 landmark, 1 semi-landmark, 2 helper).\n"
    "3. Esc or Stop ends an iterated run after the current pass.\n"
    "4. Save the superimposed sample (Ctrl+S) or the consensus (Ctrl+Shift+S); export the "
    "drawing (Ctrl+E) as .eps, .pdf, .svg or .png.\n"
    "In the drawing: the wheel zooms about the pointer, dragging pans, a double click fits the "
    "drawing; the pointer on a point names it, its kind and its specimen; a click on a point "
    "rings every point of its specimen and draws its outline.\n"
    "View > Show the log (Ctrl+L) shows what the console shows.";

}  // namespace

void QtBackend::menu_command(FigureWindow& window, const std::string& name) {
  if (name == "Quit") return quit();
  if (name == "Stop") {
    runtime_.control.request_stop();
    console_write("Stop asked for: the iterated run ends after the current pass\n");
    return;
  }
  if (name == "FitDrawing") return window.fit_drawing();
  if (name == "ShowLog")
    return window.set_log_visible(window.action(QStringLiteral("ShowLog"))->isChecked());
  if (name.rfind("Pause", 0) == 0) {
    const int ms = std::stoi(name.substr(5));
    runtime_.control.set_pass_pause_seconds(ms / 1000.0);
    for (int choice : pass_pause_choices_ms())
      if (QAction* a = window.action(QStringLiteral("Pause%1").arg(choice)))
        a->setChecked(choice == ms);
    if (const auto s = settings()) s->setValue(QStringLiteral("run/pauseMs"), ms);
    return;
  }
  const bool about = name == "About";
  auto* box = new QMessageBox(
      QMessageBox::Information,
      about ? QStringLiteral("About tavrel6") : QStringLiteral("tavrel6: short guide"),
      about ? QStringLiteral("tavrel6 %1\nTwo-dimensional geometric morphometrics: "
                             "semi-landmark sliding and consensus.")
                  .arg(TAV_VERSION)
            : QString::fromUtf8(kGuide),
      QMessageBox::Ok, &window);
  box->setObjectName(QString::fromStdString(name));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

void QtBackend::open_path(const QString& path) {
  // Refused before the file is read to find its load.
  if (refused("Open " + QFileInfo(path).fileName().toStdString())) return;
  const std::string file = path.toStdString();
  const std::string action = load_action_for ? load_action_for(file) : "Load";
  FigureWindow* w = desktop_window();
  if (!w) return;
  Handle control = -1;
  for (Handle h : gr_.listing(w->figure()))
    if (gr_.get(h, "Callback") == Value(List{"zidudezu", action})) control = h;
  if (control < 0) return;
  run_when_free([this, control, path] {
    // The load reads this file as if it had been chosen in its dialog.
    answers.push_front(choice_of(QFileInfo(path).absoluteFilePath()));
    const std::size_t queued = answers.size();
    run_callback(control);
    if (answers.size() == queued) answers.pop_front();  // the load ended before its dialog
  });
}

std::string QtBackend::describe_point_at(double x, double y, double rx, double ry) const {
  return describe_point ? describe_point(x, y, rx, ry) : std::string();
}

void QtBackend::highlight_at(double x, double y, double rx, double ry) {
  if (!highlight_point) return;
  run_when_free([this, x, y, rx, ry] {
    try {
      highlight_point(x, y, rx, ry);
    } catch (const std::exception& e) {
      report(e);
    }
    sync();
  });
}

}  // namespace tav
