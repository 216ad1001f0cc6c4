#include "formats/tps_lines.h"

namespace tav::tps {

std::vector<size_t> missing_points(const std::vector<Eigen::RowVector2d>& points) {
  auto both_negative = [](const Eigen::RowVector2d& p) { return p(0) < 0 && p(1) < 0; };
  auto any_negative = [](const Eigen::RowVector2d& p) { return p(0) < 0 || p(1) < 0; };
  std::vector<size_t> suspects;
  bool others_in_image = true;  // the points not suspected have no negative coordinate
  for (size_t i = 0; i < points.size(); ++i)
    if (both_negative(points[i]))
      suspects.push_back(i);
    else if (any_negative(points[i]))
      others_in_image = false;
  if (others_in_image && 2 * suspects.size() < points.size()) return suspects;
  std::vector<size_t> exact;  // -1 -1 says "missing" whatever the other points are
  for (size_t i : suspects)
    if (points[i](0) == -1 && points[i](1) == -1) exact.push_back(i);
  return exact;
}

}  // namespace tav::tps
