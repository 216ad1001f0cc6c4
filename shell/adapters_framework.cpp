// Adapters of the window framework.
#include "engine/session.h"
#include "platform/backend.h"
#include "shell/adapters.h"
#include "shell/convert.h"
#include "shell/framework.h"

namespace tav {

Adapter adapt_guidata() {
  return [](Session& s, const List& in, int nout) -> List {
    const Handle h = to_number(required(in, 0, "guidata"));
    if (in.size() >= 2) {
      if (nout > 0)
        throw Error(
            "Run-time Error: File: guidata Line: 1 Column: 1 The function \"guidata\" was "
            "called with more than the declared number of outputs (0).");
      guidata(s.objects(), h, in[1]);
      return {};
    }
    return {guidata(s.objects(), h)};
  };
}

Adapter adapt_guihandles() {
  return [](Session& s, const List& in, int) {
    if (in.empty()) return List{guihandles(s.objects())};
    const Matrix m = to_matrix(in[0]);
    if (m.size() != 1 || !s.objects().valid(m(0, 0)))
      throw Error("H must be the handle to a figure or figure descendent.");
    return List{guihandles(s.objects(), m(0, 0))};
  };
}

Adapter adapt_openfig() {
  return [](Session& s, const List& in, int) {
    const std::string file = to_text(required(in, 0, "openfig"));
    return List{Value(in.size() >= 2 ? openfig(s.runtime, file, to_text(in[1]))
                                     : openfig(s.runtime, file))};
  };
}

Adapter adapt_cla() {
  return [](Session& s, const List&, int nout) {
    const Handle ax = cla(s.objects());
    return nout >= 1 ? List{Value(ax)} : List{};
  };
}

Adapter adapt_isvarname() {
  return [](Session&, const List& in, int) {
    return List{Value(isvarname(required(in, 0, "isvarname")) ? 1.0 : 0.0)};
  };
}

Adapter adapt_iskeyword() {
  return [](Session&, const List& in, int) {
    if (in.empty()) return List{Value(iskeyword())};
    return List{Value(in[0].is_text() && iskeyword(in[0].text()) ? 1.0 : 0.0)};
  };
}

Adapter adapt_movegui() {
  return [](Session& s, const List& in, int) {
    if (in.size() > 3)
      throw Error("movegui takes at most 3 inputs, got " + std::to_string(in.size()));
    movegui(s.runtime, std::vector<Value>(in.begin(), in.end()));
    return List{};
  };
}

Adapter adapt_parent_figure() {
  return [](Session& s, const List& in, int) {
    return List{parent_figure(s.objects(), required(in, 0, "getParentFigure"))};
  };
}

Adapter adapt_create_handles() {
  return [](Session& s, const List& in, int) {
    return List{create_handles(s.objects(), to_number(required(in, 0, "createHandles")))};
  };
}

}  // namespace tav
