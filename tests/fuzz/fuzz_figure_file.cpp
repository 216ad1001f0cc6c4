// Arbitrary bytes as a figure file: the reader builds a window or refuses with a message that
// names the file, and a refused file leaves no window behind.
#include "fuzz_support.h"
#include "platform/objects.h"
#include "shell/framework.h"

using namespace tav;
using namespace tav::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = scratch_file("figure");
  write_bytes(path, as_text(data, size));
  Objects gr;
  try {
    const Handle fig = load_figure_file(gr, path);
    require(gr.valid(fig) && gr.type(fig) == "figure", "the reader gives a figure");
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
    require(gr.children(0).empty(), "a refused file leaves no window");
  }
  return 0;
}
