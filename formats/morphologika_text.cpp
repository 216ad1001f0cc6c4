#include "formats/foreign_text.h"
#include "formats/formats.h"

namespace tav {
namespace {

// A line beginning with ' is a comment, one beginning with [ opens a section.
constexpr foreign::LabelRules kMorphologikaLabels{"", "'["};

}  // namespace

std::string morphologika_text(const Matrix& x, const std::vector<std::string>& ids, const Row& cs,
                              int digits) {
  const Index k = (x.cols() - 1) / 2;
  std::string text = "' superimposed configurations written by tavrel6\n";
  text += "[individuals]\n" + std::to_string(x.rows()) + "\n[landmarks]\n" + std::to_string(k) +
          "\n[dimensions]\n2\n[names]\n";
  for (Index i = 0; i < x.rows(); ++i)
    text += foreign::written_label(ids, i, kMorphologikaLabels) + "\n";
  if (cs.size() == x.rows()) {
    text += "[labels]\nCentroidSize\n[labelvalues]\n";
    for (Index i = 0; i < x.rows(); ++i) text += foreign::number_text(cs(i), digits) + "\n";
  }
  text += "[rawpoints]\n";
  for (Index i = 0; i < x.rows(); ++i) {
    text += "'#" + std::to_string(i + 1) + "\n";
    for (Index p = 0; p < k; ++p)
      text += foreign::number_text(x(i, 2 * p), digits) + " " +
              foreign::number_text(x(i, 2 * p + 1), digits) + "\n";
  }
  return text;
}

}  // namespace tav
