// Adapters of the drawing, styling and export functions.
#include "display/display.h"
#include "display/legend.h"
#include "engine/session.h"
#include "shell/adapters.h"
#include "shell/convert.h"

namespace tav {

Adapter adapt_showshape() {
  return [](Session& session, const List& in, int) {
    const Value* form = input(in, 1);
    return List{Value(showshape(session.objects(), to_matrix(required(in, 0, "showshape")),
                                form ? to_text(*form) : "k."))};
  };
}

Adapter adapt_showsemiproto2() {
  return [](Session& session, const List& in, int) {
    const char* f = "showsemiproto2";
    // Inputs: x, cmembers, ctypes, numfull, numopen, then the optional xlines, omithelpers, ccode.
    const CurveProtocol p = to_protocol(required(in, 3, f), required(in, 4, f), required(in, 1, f),
                                        &required(in, 2, f));
    auto number = [&](size_t i) {
      return input(in, i) && !input(in, i)->empty() ? to_number(*input(in, i)) : 0.0;
    };
    std::optional<double> omit = 0.0;
    if (const Value* v = input(in, 6))
      omit = v->empty() ? std::nullopt : std::optional<double>(to_number(*v));
    return List{Value(showsemiproto2(session.objects(), to_matrix(required(in, 0, f)), p, number(5),
                                     omit, number(7)))};
  };
}

Adapter adapt_showshape_tangent() {
  return [](Session& session, const List& in, int) {
    const char* f = "showshape_tangent";
    showshape_tangent(
        session.objects(), to_row(required(in, 0, f)),
        to_protocol(required(in, 1, f), required(in, 2, f), required(in, 3, f), input(in, 4)));
    return List{};
  };
}

Adapter adapt_incrementsymbolsize() {
  return [](Session& session, const List& in, int) {
    incrementsymbolsize(session.objects(), to_number(required(in, 0, "incrementsymbolsize")),
                        to_number(required(in, 1, "incrementsymbolsize")));
    return List{};
  };
}

Adapter adapt_setsymbolfill() {
  return [](Session& session, const List& in, int) {
    setsymbolfill(session.objects(), to_number(required(in, 0, "setsymbolfill")),
                  to_number(required(in, 1, "setsymbolfill")));
    return List{};
  };
}

Adapter adapt_showlegend() {
  return [](Session& session, const List& in, int) {
    showlegend(session.objects(), to_number(required(in, 0, "showlegend")));
    return List{};
  };
}

Adapter adapt_CopyBigImage() {
  return [](Session& session, const List&, int) {
    CopyBigImage(session.objects(), session.ui());
    return List{};
  };
}

Adapter adapt_CopyImageEPS() {
  return [](Session& session, const List&, int) {
    CopyImageEPS(session.objects(), session.ui());
    return List{};
  };
}

}  // namespace tav
