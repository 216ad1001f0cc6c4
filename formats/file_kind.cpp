#include "formats/file_kind.h"

#include <cmath>
#include <new>

#include "formats/files.h"
#include "formats/input.h"
#include "formats/sliders.h"

namespace tav {
namespace {

bool whole(double v) { return std::isfinite(v) && v == std::floor(v); }

bool protocol_rows(const Matrix& x) {
  if (x.cols() < 4 || x.cols() % 2 != 0) return false;
  for (Index i = 0; i < x.rows(); ++i)
    if (!whole(x(i, 0)) || x(i, 1) != 0 || !whole(x(i, 2)) || x(i, 2) < 1 ||
        !(x(i, 3) == 0 || x(i, 3) == 1 || x(i, 3) == 2))
      return false;
  return true;
}

}  // namespace

std::string load_action_for(const std::string& path, const Matrix& data) {
  DataFile file;
  try {
    const std::optional<std::string> text = read_input(path);
    if (!text) return "Load";
    if (is_sliders_table(*text)) return "LoadProtocol";
    file = read_data_text(shown_name(path), *text);
  } catch (const Error&) {
    return "Load";
  } catch (const std::bad_alloc&) {
    return "Load";  // which tells the user that the file is too large for memory
  }
  if (file.tps) return "Load";
  if (protocol_rows(file.x)) return "LoadProtocol";
  if (file.x.rows() == 1 && data.rows() > 1 && file.x.cols() == data.cols()) return "LoadReference";
  return "Load";
}

}  // namespace tav
