#include "shell/tavrel6.h"

#include "engine/session.h"
#include "platform/console.h"
#include "shell/function_table.h"
#include "shell/main_window.h"

namespace tav {

const std::vector<StubCallback>& stub_callbacks() {
  static const std::vector<StubCallback> table = {
      {"pushbutton1_Callback", "pushbutton1 Callback not implemented yet."},
      {"FileBox_Callback", "FileBox Callback not implemented yet."},
      {"pushbutton2_Callback", "pushbutton2 Callback not implemented yet."},
      {"edit2_Callback", "edit2 Callback not implemented yet."},
      {"pushbutton3_Callback", "pushbutton3 Callback not implemented yet."},
      {"pushbutton5_Callback", "pushbutton5 Callback not implemented yet."},
      {"pushbutton6_Callback", "pushbutton6 Callback not implemented yet."},
      {"pushbutton7_Callback", "pushbutton7 Callback not implemented yet."},
      {"pushbutton8_Callback", "pushbutton8 Callback not implemented yet."},
      {"NumberButton_Callback", "NumberButton Callback not implemented yet."},
      {"CurveButton_Callback", "CurveButton Callback not implemented yet."},
      {"OriginalButton_Callback", "OriginalButton Callback not implemented yet."},
  };
  return table;
}

List tavrel6(Session& session, const List& in, int nout) {
  if (in.empty()) {
    const Handle fig = open_main_window(session.runtime);
    if (nout >= 1) return {Value(fig)};
    return {};
  }
  try {
    return call_named_function(session, in, nout);
  } catch (const std::exception& e) {
    console_write(std::string(e.what()) + "\n");
    return {};
  }
}

List call_named_function(Session& session, const List& in, int nout) {
  if (in.empty() || !in[0].is_text()) return {};
  const List rest(in.begin() + 1, in.end());
  // The router is the main window module's code: its local callbacks are found first.
  RunningModule module(session, "tavrel6");
  return call_by_name(session, in[0].text(), nout, rest);
}

}  // namespace tav
