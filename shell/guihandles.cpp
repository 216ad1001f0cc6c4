#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {

Value guihandles(Objects& gr, std::optional<Handle> h) {
  const Handle fig = h ? window_of(gr, *h) : gr.gcf();
  return create_handles(gr, fig);
}

}  // namespace tav
