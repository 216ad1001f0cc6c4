// The shape space as a picture written to a file.
#include "display/render.h"
#include "engine/engine.h"
#include "engine/export_figure_scope.h"
#include "engine/session.h"

namespace tav {

void export_shape_space(Session& session, const std::string& path, Index a, Index b, double sds) {
  const ShapeSpace s = shape_space(session);
  const Index m = s.components.components();
  if (a < 1 || b < 1 || a > m || b > m)
    throw Error("the shape space has " + std::to_string(m) +
                " principal components with variance; --pcs must name two of them (1 to " +
                std::to_string(m) + "); nothing was written");
  Objects& g = session.objects();
  const ExportFigureScope scope(g);
  draw_shape_space(session, s, scope.figure(), a, b, sds);
  export_figure(g, scope.figure(), path);
}

}  // namespace tav
