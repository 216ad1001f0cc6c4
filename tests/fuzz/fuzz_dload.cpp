// Arbitrary bytes as a data or protocol file, through every reader dload chooses by the
// recognised layout (numeric rows with any line end, TPS, NTS, Morphologika, MorphoJ text): the
// reader gives a rectangular matrix of finite numbers with one trailing text per row, or refuses
// with a message that names the file.
#include "engine/files.h"
#include "engine/formats.h"
#include "fuzz_support.h"

using namespace tav;
using namespace tav::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = scratch_file("dload");
  write_bytes(path, as_text(data, size));
  try {
    const DloadResult r = dload(path);
    require(r.opened, "a written file opens");
    require(r.x.allFinite(), "every value read is a finite number");
    require(r.kind != FileKind::Rows || r.trailing.size() == static_cast<std::size_t>(r.x.rows()),
            "a trailing text per row");
    require(r.specimen_ids.empty() || r.specimen_ids.size() == static_cast<std::size_t>(r.x.rows()),
            "a label per specimen, or none");
    require(r.kind == recognise_file(path), "read in the layout the file is recognised as");
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
  }
  return 0;
}
