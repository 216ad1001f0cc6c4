#include "formats/foreign_text.h"
#include "formats/formats.h"

namespace tav {
namespace {

// Blanks split NTS labels and '"' begins a comment that runs to the line's end.
constexpr foreign::LabelRules kNtsLabels{" \t\f\v\"", ""};

}  // namespace

std::string nts_text(const Matrix& x, const std::vector<std::string>& ids, int digits) {
  const Index k = (x.cols() - 1) / 2;
  std::string text =
      "\" superimposed configurations written by tavrel6: one specimen per row, x1 y1 ... x" +
      std::to_string(k) + " y" + std::to_string(k) + "\n";
  text += "1 " + std::to_string(x.rows()) + "L " + std::to_string(2 * k) + " 0 DIM=2\n";
  for (Index i = 0; i < x.rows(); ++i)
    text += foreign::written_label(ids, i, kNtsLabels) + (i + 1 < x.rows() ? " " : "\n");
  for (Index i = 0; i < x.rows(); ++i) {
    for (Index c = 0; c < 2 * k; ++c)
      text += (c ? " " : "") + foreign::number_text(x(i, c), digits);
    text += "\n";
  }
  return text;
}

}  // namespace tav
