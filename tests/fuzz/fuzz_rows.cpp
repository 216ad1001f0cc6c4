// Arbitrary bytes as numeric rows (one configuration or protocol row per line, LF, CR LF or CR
// line ends): a rectangle of finite numbers with the trailing text of every row, the rows
// ending at the end line; or a refusal naming the file.
#include <cmath>

#include "formats/input.h"
#include "fuzz_support.h"

using namespace tav;
using namespace tav::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = "fuzz.txt";
  try {
    const RowsRead r = read_rows(path, as_text(data, size));
    const std::size_t rows = r.trailing.size();
    require(r.values.size() == rows * static_cast<std::size_t>(r.cols), "a rectangle of values");
    require(rows == 0 || r.cols > 0, "every row holds a value");
    for (double v : r.values) require(std::isfinite(v), "every value read is a finite number");
    for (const std::string& t : r.trailing) require(!t.empty(), "a row's last value as written");
    require(r.unread_number_lines <= r.unread_lines, "unread lines with numbers are unread lines");
    require(r.end_line > 0 || r.unread_lines == 0, "lines are left unread only after an end line");
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
  }
  return 0;
}
