#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {
namespace {
// The application-data name under which each window keeps its one value.
const char* const kGuiDataName = "UsedByGUIData_m";
}  // namespace

Value guidata(const Objects& gr, Handle h) { return gr.appdata(window_of(gr, h), kGuiDataName); }

void guidata(Objects& gr, Handle h, const Value& data) {
  gr.set_appdata(window_of(gr, h), kGuiDataName, data);
}

}  // namespace tav
