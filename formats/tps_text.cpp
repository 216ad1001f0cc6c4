#include "formats/foreign_text.h"
#include "formats/tps.h"
#include "platform/format.h"

namespace tav {

std::string tps_text(const Matrix& x, const std::vector<std::string>& ids, int digits) {
  const Index k = (x.cols() - 1) / 2;
  const std::string point = "%." + std::to_string(digits) + "g %." + std::to_string(digits) + "g\n";
  std::string text;
  for (Index i = 0; i < x.rows(); ++i) {
    text += "LM=" + std::to_string(k) + "\n";
    for (Index p = 0; p < k; ++p)
      text += sprintf_m(point, {Value(x(i, 2 * p)), Value(x(i, 2 * p + 1))});
    text += "ID=" + foreign::written_label(ids, i, {}) + "\n";
  }
  return text;
}

}  // namespace tav
