#include <algorithm>
#include <string>

#include "shape_space/shape_space.h"
#include "sliding/sliding.h"

namespace tav {

DeformationGrid deformation_grid(const Row& from, const Row& to, int cells) {
  if (cells < 1)
    throw Error("deformation grid: the grid needs at least 1 cell, not " + std::to_string(cells));
  const Index k = from.size() / 2;
  const ThinPlateSpline spline(from, to);
  const Matrix points = point_matrix(from.head(2 * k));
  const Eigen::Vector2d low = points.rowwise().minCoeff(), high = points.rowwise().maxCoeff();
  const Eigen::Vector2d centre = 0.5 * (low + high);
  const double side = 1.2 * (high - low).maxCoeff();
  const double step = side / cells;
  DeformationGrid g;
  g.from = from.head(2 * k);
  g.to = to.head(2 * k);
  const Index lines = cells + 1;
  g.x.resize(lines, lines), g.y.resize(lines, lines);
  g.warped_x.resize(lines, lines), g.warped_y.resize(lines, lines);
  for (Index r = 0; r < lines; ++r)
    for (Index c = 0; c < lines; ++c) {
      const Eigen::RowVector2d node(centre(0) - side / 2 + static_cast<double>(c) * step,
                                    centre(1) - side / 2 + static_cast<double>(r) * step);
      const Eigen::RowVector2d moved = spline.at(node);
      g.x(r, c) = node(0), g.y(r, c) = node(1);
      g.warped_x(r, c) = moved(0), g.warped_y(r, c) = moved(1);
    }
  return g;
}

}  // namespace tav
