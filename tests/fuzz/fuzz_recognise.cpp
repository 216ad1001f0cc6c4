// Arbitrary bytes as a file given to Load, or dropped on the window. Recognition tells the same
// format whatever the line ends (LF, CR LF, CR) and with or without a byte order mark; the
// file is read in the format it is recognised as, by that format's reader (a rectangular matrix
// of finite numbers, one trailing text per row of numeric rows, a label per specimen of the
// other formats), or refused with a message that names the file; a dropped file goes to one of
// the three loads.
#include <algorithm>

#include "formats/file_kind.h"
#include "formats/files.h"
#include "formats/formats.h"
#include "fuzz_support.h"

using namespace tav;
using namespace tav::fuzz;

namespace {

std::string with_line_ends(std::string_view text, const std::string& end) {
  std::string out;
  for (char c : text)
    if (c == '\n')
      out += end;
    else
      out += c;
  return out;
}

void require_same_kind_in_any_layout(std::string_view text, FileKind kind) {
  if (text.find('\r') == std::string_view::npos) {
    require(recognise_text(with_line_ends(text, "\r\n")) == kind, "CR LF line ends tell the same");
    require(recognise_text(with_line_ends(text, "\r")) == kind, "CR line ends tell the same");
  }
  if (text.substr(0, 3) != "\xEF\xBB\xBF")
    require(recognise_text("\xEF\xBB\xBF" + std::string(text)) == kind,
            "a byte order mark tells the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = scratch_file("recognise");
  const std::string_view text = as_text(data, size);
  const FileKind kind = recognise_text(text);
  require_same_kind_in_any_layout(text, kind);
  write_bytes(path, text);
  try {
    const DataFile r = read_data_file(path);
    require(r.kind == kind, "read in the layout the file is recognised as");
    require(r.x.allFinite(), "every value read is a finite number");
    if (r.kind == FileKind::Rows)
      require(r.trailing.size() == static_cast<std::size_t>(r.x.rows()), "a trailing text per row");
    else
      require_sample(r.x, r.specimen_ids.size(), r.warnings, path);
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
  }
  static const Matrix sample = Matrix::Zero(3, 9);
  const std::string load = load_action_for(path, sample);
  require(load == "Load" || load == "LoadProtocol" || load == "LoadReference",
          "a dropped file goes to one of the loads");
  return 0;
}
