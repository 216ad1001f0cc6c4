#include "platform/format.h"
#include "shell/shape_space_tables.h"

namespace tav {
namespace {

const char* kind_name(int kind) {
  return kind == 0 ? "landmark" : kind == 1 ? "semi-landmark" : "helper";
}

}  // namespace

std::string slides_table(const ShapeSpace& space, const std::vector<std::string>& ids, int digits) {
  std::string text = "point,curve,kind,mean_slide,largest_slide,specimen,flag\n";
  const std::vector<PointSlide>& points = space.slides.points;
  for (size_t p = 0; p < points.size(); ++p) {
    const PointSlide& s = points[p];
    const std::string specimen =
        s.specimen > 0 ? csv_field(ids[static_cast<size_t>(s.specimen - 1)]) : std::string();
    text += std::to_string(p + 1) + "," + std::to_string(s.curve) + "," + kind_name(s.kind) + "," +
            g_text(s.mean, digits) + "," + g_text(s.largest, digits) + "," + specimen +
            (s.flagged ? ",1\n" : ",0\n");
  }
  return text;
}

}  // namespace tav
