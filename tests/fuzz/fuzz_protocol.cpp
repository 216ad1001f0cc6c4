// Arbitrary bytes as a curve protocol (rows of curve code, 0, point, type) over data of 12
// points, as "LoadProtocol" reads one that is not a sliders table: the rows reader, then the
// protocol check. A protocol the check accepts gives a point type for every point it names and
// curves of those points; anything else is refused with a message naming the file.
#include <algorithm>

#include "formats/files.h"
#include "formats/protocol.h"
#include "fuzz_support.h"

using namespace tav;
using namespace tav::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = "fuzz_protocol.txt";
  constexpr Index k = 12;
  try {
    const DataFile r = read_data_text(path, std::string(as_text(data, size)));
    if (r.kind != FileKind::Rows || r.x.size() == 0) return 0;
    check_protocol(r.x, path, k);
    const Row types = protocol_point_types(r.x, k, Row());
    const Index named = std::max<Index>(k, static_cast<Index>(r.x.col(2).maxCoeff()));
    require(types.size() == named, "a type for every point of the data and of the protocol");
    for (Index i = 0; i < types.size(); ++i)
      require(types(i) == 0 || types(i) == 1 || types(i) == 2, "every type is 0, 1 or 2");
    const CurveProtocol curves = protocol_curves(r.x, [](int) {});
    require(curves.numopen - curves.numfull + 1 == static_cast<int>(curves.members.size()),
            "a member list for every curve code");
    std::size_t listed = 0;
    for (const auto& members : curves.members) {
      listed += members.size();
      for (int p : members) require(p >= 1 && p <= named, "every member is a point named");
    }
    require(listed == static_cast<std::size_t>(r.x.rows()), "every row is in its curve");
  } catch (const Error& e) {
    require(names(e.what(), path), "a refusal names the file");
  }
  return 0;
}
