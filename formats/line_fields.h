#pragma once
// A line split into its fields by the character rules of platform/parse.h (blanks, line ends,
// white space, what separates the numbers of a row): the words of the free-format readers (NTS,
// Morphologika, TPS), the point numbers of sliders tables and protocol rows, and the fields of a
// table whose first line names its columns (spreadsheet exports, MorphoJ text), split by the one
// separator that line chooses. The rows reader walks its bytes in place by the same rules.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/parse.h"

namespace tav {

// The tokens of `line`: the runs of characters between those `is_separator` takes, a run of
// separators counting as one, so that no token is empty.
std::vector<std::string> tokens(std::string_view line, bool (*is_separator)(char));

// The words of a free-format line: its tokens between white space.
std::vector<std::string> words(std::string_view line);

// s without the white space at either end.
std::string trimmed(std::string_view s);

// The first of tab, semicolon and comma that `line` holds (in that order), or 0 for none: the
// separator of a table whose first line names its columns.
char field_separator(std::string_view line);

// Whether `holds` is true of every field of `line` split by `sep` (white space around a field
// removed), asked field by field until it is false: a long line is never split whole.
bool every_field(std::string_view line, char sep,
                 const std::function<bool(const std::string&)>& holds);

// The fields of `line` split by `sep`, white space around each removed; empty fields at the end
// of the line (a spreadsheet's trailing separators) dropped.
std::vector<std::string> split_fields(std::string_view line, char sep);

}  // namespace tav
