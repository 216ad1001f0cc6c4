#pragma once
// What the main window's menus, pointer and dropped files ask of the program behind the window.
// The Qt backend answers; the window knows only this much of it.
#include <QString>
#include <QStringList>
#include <string>

namespace tav {

class FigureWindow;

class DesktopHost {
 public:
  virtual ~DesktopHost() = default;

  // Whether a callback (or a wait) is running: the pointer then leaves the drawing alone.
  virtual bool busy() const = 0;
  // The files opened last, newest first (empty unless remembered).
  virtual QStringList recent_files() const = 0;
  // A file dropped on the window or picked from the recent files: read by the load its
  // content asks for, as if chosen in that load's dialog.
  virtual void open_path(const QString& path) = 0;
  // What lies within (rx, ry) of the data point (x, y) of the drawing, for the status line;
  // "" for nothing.
  virtual std::string describe_point_at(double x, double y, double rx, double ry) const = 0;
  // A click at the data point (x, y): the specimen of the point there is highlighted.
  virtual void highlight_at(double x, double y, double rx, double ry) = 0;
  // A menu command of the window itself (see desktop_menus.h).
  virtual void menu_command(FigureWindow& window, const std::string& name) = 0;
  // Keeps the window's place and size and its check boxes for the next start.
  virtual void remember_window(FigureWindow& window) = 0;
};

}  // namespace tav
