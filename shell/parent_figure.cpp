#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {

Value parent_figure(const Objects& gr, const Value& h) {
  Value current = h;
  while (!current.empty()) {
    if (!current.is_matrix() || current.matrix().size() != 1 || !gr.valid(current.scalar()))
      return Value();
    const Handle obj = current.scalar();
    if (gr.type(obj) == "figure") return current;
    current = gr.get(obj, "parent");
  }
  return Value();
}

Handle window_of(const Objects& gr, Handle h) {
  const Value fig = gr.valid(h) ? parent_figure(gr, Value(h)) : Value();
  if (fig.empty()) throw Error("H must be the handle to a figure or figure descendent.");
  return fig.scalar();
}

}  // namespace tav
