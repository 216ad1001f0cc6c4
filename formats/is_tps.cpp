#include "formats/formats.h"
#include "formats/input.h"
#include "formats/tps.h"
#include "platform/error.h"

namespace tav {

bool is_tps(const std::string& fname) {
  try {
    const std::optional<std::string> text = read_input(fname);
    return text && recognise_text(*text) == FileKind::Tps;
  } catch (const Error&) {
    return false;  // not text, so not TPS either
  }
}

}  // namespace tav
