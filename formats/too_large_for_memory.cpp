#include "formats/input.h"

namespace tav {

Error too_large_for_memory(const std::string& file) {
  return Error("file " + file +
               " is too large for memory: the computer ran out of memory while working on it; "
               "close other programs, or split the sample into smaller files");
}

}  // namespace tav
