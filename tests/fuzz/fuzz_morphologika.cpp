// Arbitrary bytes as a Morphologika file: a sample of finite coordinates with a label per
// individual, or a refusal naming the file; [individuals] and [landmarks] that promise more
// points than [rawpoints] holds are refused before anything of their size is made.
#include "formats/formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tav::fuzz::fuzz_foreign_reader(data, size, "fuzz.morphologika.txt",
                                        [](const std::string& path, const std::string& text) {
                                          return tav::read_morphologika(path, text);
                                        });
}
