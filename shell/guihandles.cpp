#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {

Value guihandles(std::optional<Handle> h) {
  const Handle fig = h ? window_of(*h) : gr().gcf();
  return create_handles(fig);
}

}  // namespace tav
