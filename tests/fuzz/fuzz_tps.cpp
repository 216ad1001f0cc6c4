// Arbitrary bytes as a TPS file: a sample of finite coordinates in the layout of its first
// specimen (landmarks, then the points of every curve), an ID per specimen, warnings that name
// the file; or a refusal naming the file. LM=, CURVES= and POINTS= counts that the file does
// not hold are refused before anything of their size is made.
#include "formats/tps.h"
#include "fuzz_support.h"

using namespace tav;
using namespace tav::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = "fuzz.tps";
  try {
    const TpsSample s = read_tps_text(path, std::string(as_text(data, size)));
    require_sample(s.x, s.ids.size(), s.warnings, path);
    require(s.x.cols() == 2 * s.layout.points() + 1, "the points of the layout, x and y of each");
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
  }
  return 0;
}
