#include "shell/callback_runner.h"

#include "engine/session.h"
#include "shell/tavrel6.h"

namespace tav {

List resolve_callback_inputs(Objects& gr, Handle source, const Value& callback) {
  List call = callback.is_text() ? List{callback} : callback.list();
  const Handle fig = gr.figure_of(source);
  for (Value& v : call) {
    if (!v.is_text()) continue;
    if (v.text() == "$figure") v = Value(fig);
    if (v.text() == "$value") v = gr.get(source, "Value");  // a check box's state
    if (v.text() == "$axes") {
      Handle axes = -1;
      for (Handle c : gr.children(fig))
        if (gr.type(c) == "axes") axes = c;
      if (axes < 0) axes = gr.gca();
      v = Value(axes);
    }
  }
  return call;
}

void install_callback_runner(Session& session) {
  session.runtime.run_callback = [&session](Handle source, const Value& callback) {
    if (callback.empty()) return;
    Objects& gr = session.objects();
    // A control's action draws into its own window, whichever figure an earlier action made
    // current (the comparison opens a second one).
    const Handle fig = gr.figure_of(source);
    if (fig > 0 && (!gr.has_current_figure() || gr.gcf() != fig)) gr.set_current_figure(fig);
    tavrel6(session, resolve_callback_inputs(gr, source, callback), 0);
  };
}

}  // namespace tav
