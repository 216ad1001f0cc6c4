#include <map>

#include "formats/sliders.h"
#include "platform/error.h"

namespace tav {

std::string sliders_text(const CurveProtocol& p) {
  std::string text = "before,slider,after\n";
  std::map<int, int> curve_of;  // sliding point -> the curve it slides on
  for (int j = p.numfull; j <= p.numopen; ++j) {
    if (j == 0 || !p.has_code(j)) continue;
    const std::vector<int>& m = p.members_of(j);
    const std::vector<double>& t = p.types_of(j);
    const size_t q = m.size();
    for (size_t i = 0; i < q; ++i) {
      if (t[i] == 0) continue;
      const bool closed = j < 0;
      if (!closed && (i == 0 || i + 1 == q))
        throw Error(
            "curve " + std::to_string(j) + ": point " + std::to_string(m[i]) +
            " slides at an end of the open curve, so it has no neighbour on one side; a sliders "
            "table cannot hold it. Start and end the curve at landmarks; nothing was written");
      if (q < 3 && closed)
        throw Error("curve " + std::to_string(j) +
                    " is closed with fewer than three points; a sliders "
                    "table cannot hold it; nothing was written");
      if (const auto [at, fresh] = curve_of.emplace(m[i], j); !fresh)
        throw Error("point " + std::to_string(m[i]) + " slides on curve " +
                    std::to_string(at->second) + " and on curve " + std::to_string(j) +
                    "; a sliders table names one slider once, with one point before and one "
                    "after it, so it cannot hold it; nothing was written");
      const int before = m[(i + q - 1) % q], after = m[(i + 1) % q];
      text +=
          std::to_string(before) + "," + std::to_string(m[i]) + "," + std::to_string(after) + "\n";
    }
  }
  if (curve_of.empty())
    throw Error(
        "no point of the protocol slides (no curve holds a semi-landmark or a helper point); a "
        "sliders table of it would hold no rows, which is no protocol; nothing was written");
  return text;
}

}  // namespace tav
