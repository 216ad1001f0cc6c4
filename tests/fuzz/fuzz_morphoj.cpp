// Arbitrary bytes as MorphoJ text: a sample of finite coordinates with a label per specimen,
// or a refusal naming the file.
#include "formats/formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tav::fuzz::fuzz_foreign_reader(data, size, "fuzz.morphoj.txt",
                                        [](const std::string& path, const std::string& text) {
                                          return tav::read_morphoj(path, text);
                                        });
}
