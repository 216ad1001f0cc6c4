#pragma once
// Small pieces the readers and writers of other programs' files share: numbers read and written
// without the locale, the file's text, labels.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/matrix.h"

namespace tav::foreign {

// The whole file as bytes. Raises Error naming the file when it cannot be opened.
std::string file_text(const std::string& fname);

// The finite number a whole token spells (decimal point, optional sign and exponent), or
// nullopt: the rows reader's rule (parse_number_token), so a magnitude too small for a double
// reads as 0 in every format and one too large is refused in every format.
std::optional<double> number(std::string_view token);

// v with `digits` significant digits, as "%.<digits>g" writes it in the C locale.
std::string number_text(double v, int digits);

// What a format's reader takes for something other than a label's own characters.
struct LabelRules {
  std::string_view never;        // characters that end or break a label wherever they stand
  std::string_view never_first;  // characters that mean something else at a label's start
};

// ids[i] (the specimen's number i + 1 where ids has none) as a writer of a format with `rules`
// writes it, so that the format's reader gives it back: blanks at either end dropped (every
// reader drops them), every line end and every character of rules.never made '_', a first
// character of rules.never_first made '_'. A label left empty is the specimen's number.
std::string written_label(const std::vector<std::string>& ids, Index i, const LabelRules& rules);

// A token for a message: at most 40 characters, quoted, non-printing bytes as '?'.
std::string shown(std::string_view token);

// The centroid size of every configuration row (its 2k coordinates).
Row centroid_sizes(const Matrix& x);

}  // namespace tav::foreign
