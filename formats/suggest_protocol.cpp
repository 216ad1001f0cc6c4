#include "formats/tps.h"

namespace tav {

Matrix suggest_protocol(const TpsLayout& layout) {
  Matrix p(layout.points(), 4);
  Index row = 0, point = 0;
  auto add = [&](double code, double type) {
    p.row(row++) << code, 0, static_cast<double>(++point), type;
  };
  for (Index j = 0; j < layout.landmarks; ++j) add(0, 0);
  for (size_t c = 0; c < layout.curve_points.size(); ++c)
    for (Index j = 0; j < layout.curve_points[c]; ++j) add(static_cast<double>(c + 1), 1);
  return p;
}

}  // namespace tav
