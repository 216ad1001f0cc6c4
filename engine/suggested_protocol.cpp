#include "engine/engine.h"
#include "engine/session.h"
#include "formats/tps.h"
#include "platform/format.h"

namespace tav {

std::string suggested_protocol(const Session& session) {
  const TpsLayout& layout = session.state.loaded.tps_layout;
  // From the layout the Load read, so the data file is read once (a pipe holds it only once).
  if (layout.points() == 0)
    throw Error(
        "the --data file is not a TPS file (its first line is not LM=...); write the protocol by "
        "hand");
  const Matrix p = suggest_protocol(layout);
  std::string text;
  for (Index i = 0; i < p.rows(); ++i)
    text += sprintf_m("%g %g %g %g\n",
                      {Value(p(i, 0)), Value(p(i, 1)), Value(p(i, 2)), Value(p(i, 3))});
  return text;
}

}  // namespace tav
