#include "display/line_children.h"

namespace tav {

std::vector<Handle> line_children(const Objects& g, Handle h) {
  const Matrix hc = g.get(h, "Children").matrix();
  std::vector<Handle> out;
  for (Index i = 0; i < hc.rows(); ++i) {
    const Value type = g.get(hc(i, 0), "Type");
    if (type.is_text() && !type.text().empty() && type.text()[0] == 'l') out.push_back(hc(i, 0));
  }
  return out;
}

}  // namespace tav
