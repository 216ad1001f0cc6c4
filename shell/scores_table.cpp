#include "platform/format.h"
#include "shell/shape_space_tables.h"

namespace tav {

std::string scores_table(const ShapeSpace& space, const std::vector<std::string>& ids, int digits) {
  const PrincipalComponents& pc = space.components;
  std::string text = "id,centroid_size,procrustes_distance,outlier";
  for (Index j = 1; j <= pc.components(); ++j) text += ",PC" + std::to_string(j);
  text += "\n";
  for (Index i = 0; i < pc.scores.rows(); ++i) {
    const auto row = static_cast<size_t>(i);
    text += csv_field(ids[row]) + "," + g_text(space.centroid_sizes(i), digits) + "," +
            g_text(space.distances(i), digits) + (space.outliers[row] ? ",1" : ",0");
    for (Index j = 0; j < pc.components(); ++j) text += "," + g_text(pc.scores(i, j), digits);
    text += "\n";
  }
  return text;
}

}  // namespace tav
