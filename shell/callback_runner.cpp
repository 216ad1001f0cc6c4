#include "shell/callback_runner.h"

#include "engine/action_scope.h"
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

namespace {
// What the user sees of a control: its label, else its callback's function name.
std::string shown_label(const Objects& gr, Handle source, const Value& callback) {
  const Value label = gr.valid(source) ? gr.get(source, "String") : Value();
  if (label.is_text() && !label.text().empty()) return label.text();
  const Value name = callback.is_text() ? callback : callback.list().at(0);
  return name.is_text() ? name.text() : "the control's callback";
}
}  // namespace

void install_callback_runner(Session& session) {
  session.runtime.run_callback = [&session](Handle source, const Value& callback) {
    if (callback.empty()) return;
    Objects& gr = session.objects();
    // A control's callback during a running action (the window serves events meanwhile) is
    // refused before it changes anything, whichever way it was called.
    if (refuse_while_running(session, shown_label(gr, source, callback))) return;
    // A control's action draws into its own window, whichever figure an earlier action made
    // current (the comparison opens a second one).
    const Handle fig = gr.figure_of(source);
    if (fig > 0 && (!gr.has_current_figure() || gr.gcf() != fig)) gr.set_current_figure(fig);
    tavrel6(session, resolve_callback_inputs(gr, source, callback), 0);
  };
}

}  // namespace tav
