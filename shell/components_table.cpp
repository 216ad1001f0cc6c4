#include "platform/format.h"
#include "shell/shape_space_tables.h"

namespace tav {

std::string components_table(const ShapeSpace& space, int digits) {
  const PrincipalComponents& pc = space.components;
  std::string text = "component,eigenvalue,percent,cumulative_percent";
  for (Index p = 1; p <= pc.loadings.rows() / 2; ++p)
    text += ",x" + std::to_string(p) + ",y" + std::to_string(p);
  text += "\n";
  for (Index j = 0; j < pc.components(); ++j) {
    text += std::to_string(j + 1) + "," + g_text(pc.eigenvalues(j), digits) + "," +
            g_text(pc.percent(j), digits) + "," + g_text(pc.cumulative(j), digits);
    for (Index r = 0; r < pc.loadings.rows(); ++r) text += "," + g_text(pc.loadings(r, j), digits);
    text += "\n";
  }
  return text;
}

}  // namespace tav
