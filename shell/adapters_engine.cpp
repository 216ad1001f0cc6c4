// Adapters of the action engine and its file readers.
#include "engine/files.h"
#include "engine/session.h"
#include "engine/zidudezu.h"
#include "shell/adapters.h"
#include "shell/convert.h"

namespace tav {

Adapter adapt_zidudezu() {
  return [](Session& session, const List& in, int) {
    zidudezu(session, required(in, 0, "zidudezu"));
    return List{};
  };
}

Adapter adapt_dload() {
  return [](Session&, const List& in, int) {
    const DloadResult r = dload(to_text(required(in, 0, "dload")));
    // A file that cannot be opened reads as the single value -1.
    return List{r.opened ? Value(r.x) : Value(-1.0)};
  };
}

Adapter adapt_mfload() {
  return [](Session& session, const List&, int nout) {
    const MfloadResult r = mfload(session.ui());
    if (r.cancelled) return List{Value(0.0), Value(0.0)};
    const Value y = r.file.opened ? Value(r.file.x) : Value(-1.0);
    if (nout >= 2) return List{y, Value(r.fn)};
    return List{y};
  };
}

}  // namespace tav
