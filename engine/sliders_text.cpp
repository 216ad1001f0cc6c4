#include "engine/sliders.h"
#include "platform/error.h"

namespace tav {

std::string sliders_text(const CurveProtocol& p) {
  std::string text = "before,slider,after\n";
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
            "table cannot hold it. Start and end the curve at landmarks");
      if (q < 3 && closed)
        throw Error("curve " + std::to_string(j) +
                    " is closed with fewer than three points; a sliders "
                    "table cannot hold it");
      const int before = m[(i + q - 1) % q], after = m[(i + 1) % q];
      text +=
          std::to_string(before) + "," + std::to_string(m[i]) + "," + std::to_string(after) + "\n";
    }
  }
  return text;
}

}  // namespace tav
