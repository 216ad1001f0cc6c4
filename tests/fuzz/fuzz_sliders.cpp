// Arbitrary bytes as a protocol file, as "LoadProtocol" reads it: a sliders table (told by its
// first rows) becomes a curve protocol over data of 12 points that the protocol check accepts
// whole, and anything else goes to the rows reader; a refusal names the file.
#include "formats/files.h"
#include "formats/input.h"
#include "formats/protocol.h"
#include "formats/sliders.h"
#include "fuzz_support.h"
#include "platform/error.h"

using namespace tav;
using namespace tav::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = scratch_file("sliders");
  constexpr Index k = 12;
  write_bytes(path, as_text(data, size));
  try {
    const std::optional<std::string> text = read_input(path);
    require(text.has_value(), "a written file opens");
    if (!is_sliders_table(*text)) {
      const DataFile r = read_data_text(path, *text);
      require(r.x.allFinite(), "every value read is a finite number");
      return 0;
    }
    const Matrix p = protocol_from_sliders(read_sliders(path, *text), k, path);
    require(p.cols() == 4 && p.rows() > 0, "a protocol table of four columns");
    require(p.col(2).maxCoeff() <= k, "every point of the protocol is a point of the data");
    try {
      check_protocol(p, path, k);
    } catch (const Error&) {
      require(false, "the protocol made of a sliders table passes the protocol check");
    }
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
  }
  return 0;
}
