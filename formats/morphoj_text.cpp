#include "formats/foreign_text.h"
#include "formats/formats.h"

namespace tav {
namespace {

// The fields are split by tabs, as the header row written first says.
constexpr foreign::LabelRules kMorphojLabels{"\t", ""};

}  // namespace

std::string morphoj_text(const Matrix& x, const std::vector<std::string>& ids, int digits) {
  const Index k = (x.cols() - 1) / 2;
  std::string text = "ID";
  for (Index p = 1; p <= k; ++p) text += "\tx" + std::to_string(p) + "\ty" + std::to_string(p);
  text += "\n";
  for (Index i = 0; i < x.rows(); ++i) {
    text += foreign::written_label(ids, i, kMorphojLabels);
    for (Index c = 0; c < 2 * k; ++c) text += "\t" + foreign::number_text(x(i, c), digits);
    text += "\n";
  }
  return text;
}

}  // namespace tav
