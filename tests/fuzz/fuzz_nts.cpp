// Arbitrary bytes as an NTS file: a sample of finite coordinates with a label per specimen, or
// a refusal naming the file. A parameter line that promises more values than the file holds
// is refused before anything of that size is made (the memory limit of the run tells).
#include "formats/formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tav::fuzz::fuzz_foreign_reader(
      data, size, "fuzz.nts",
      [](const std::string& path, const std::string& text) { return tav::read_nts(path, text); });
}
