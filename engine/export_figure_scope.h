#pragma once
// A figure of the session's own for the length of one export, removed however the export ends;
// the figure current before is current again.
#include "platform/objects.h"

namespace tav {

class ExportFigureScope {
 public:
  explicit ExportFigureScope(Objects& g)
      : g_(g), previous_(g.has_current_figure() ? g.gcf() : -1), figure_(g.create("figure", 0)) {}
  ~ExportFigureScope() {
    g_.remove(figure_);
    if (previous_ > 0 && g_.valid(previous_)) g_.set_current_figure(previous_);
  }
  ExportFigureScope(const ExportFigureScope&) = delete;
  ExportFigureScope& operator=(const ExportFigureScope&) = delete;
  Handle figure() const { return figure_; }

 private:
  Objects& g_;
  Handle previous_, figure_;
};

}  // namespace tav
