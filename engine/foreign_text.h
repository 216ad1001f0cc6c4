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

// Blank: space, tab, CR, LF, form feed or vertical tab, whatever the locale.
bool is_blank(char c);

// s without its leading and trailing blanks.
std::string trimmed(std::string_view s);

// The words of a line: the runs of characters between blanks.
std::vector<std::string> blank_tokens(std::string_view line);

// The finite number a whole token spells (decimal point, optional exponent), or nullopt.
std::optional<double> number(std::string_view token);

// v with `digits` significant digits, as "%.<digits>g" writes it in the C locale.
std::string number_text(double v, int digits);

// ids[i] where present and not empty, else the specimen's number i + 1; blanks become '_'
// when `no_blanks`.
std::string label(const std::vector<std::string>& ids, Index i, bool no_blanks);

// A token for a message: at most 40 characters, quoted, non-printing bytes as '?'.
std::string shown(std::string_view token);

// The centroid size of every configuration row (its 2k coordinates).
Row centroid_sizes(const Matrix& x);

}  // namespace tav::foreign
