#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {

Handle cla(Objects& gr) {
  const Handle axes = gr.gca();
  gr.cla(axes);
  return axes;
}

}  // namespace tav
