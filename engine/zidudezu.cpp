#include "engine/zidudezu.h"

#include <functional>
#include <utility>
#include <vector>

#include "engine/controls.h"
#include "platform/console.h"

namespace tav {

void zidudezu(const Value& action) {
  static const std::vector<std::pair<std::string, std::function<void()>>> actions = {
      {"Load", action_load},
      {"LoadReference", action_load_reference},
      {"Save", [] { action_save(SaveKind::All); }},
      {"SaveLMSLM", [] { action_save(SaveKind::LandmarksSemilandmarks); }},
      {"SaveLM", [] { action_save(SaveKind::Landmarks); }},
      {"LoadProtocol", action_load_protocol},
      {"SaveReference", [] { action_save_reference(SaveKind::All); }},
      {"SaveReferenceLMSLM", [] { action_save_reference(SaveKind::LandmarksSemilandmarks); }},
      {"SaveReferenceLM", [] { action_save_reference(SaveKind::Landmarks); }},
      {"Replot", action_replot},
      {"TangentPlot", [] { action_tangent_plot(false); }},
      {"OriginalTangent", [] { action_tangent_plot(true); }},
      {"Clear", action_clear},
      {"ShowDF", [] { mark_action_done(); }},
  };
  reset_action_done();
  if (action.is_text())
    for (const auto& [name, body] : actions)
      if (name == action.text()) return body();
  console_write("\nFell through case");
}

}  // namespace tav
