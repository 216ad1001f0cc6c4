#include "engine/run_action.h"

#include <functional>
#include <new>
#include <utility>
#include <vector>

#include "engine/action_scope.h"
#include "engine/session.h"
#include "formats/input.h"
#include "platform/console.h"

namespace tav {

void run_action(Session& session, const std::string& action) {
  using Body = std::function<void(Session&)>;
  static const std::vector<std::pair<std::string, Body>> actions = {
      {"Load", action_load},
      {"LoadReference", action_load_reference},
      {"Save", [](Session& s) { action_save(s, SaveKind::All); }},
      {"SaveLMSLM", [](Session& s) { action_save(s, SaveKind::LandmarksSemilandmarks); }},
      {"SaveLM", [](Session& s) { action_save(s, SaveKind::Landmarks); }},
      {"LoadProtocol", action_load_protocol},
      {"SaveReference", [](Session& s) { action_save_reference(s, SaveKind::All); }},
      {"SaveReferenceLMSLM",
       [](Session& s) { action_save_reference(s, SaveKind::LandmarksSemilandmarks); }},
      {"SaveReferenceLM", [](Session& s) { action_save_reference(s, SaveKind::Landmarks); }},
      {"Replot", action_replot},
      {"TangentPlot", [](Session& s) { action_tangent_plot(s, false); }},
      {"OriginalTangent", [](Session& s) { action_tangent_plot(s, true); }},
      {"Clear", action_clear},
      {"ShapeSpace", action_shape_space},
      {"ShowDF", [](Session&) {}},
  };
  for (const auto& [name, body] : actions)
    if (name == action) {
      // Asked for while another action runs (the window serves events meanwhile): refused,
      // the running action and its state untouched.
      if (refuse_while_running(session, name)) return;
      const ActionScope running(session, name);
      try {
        return body(session);
      } catch (const std::bad_alloc&) {
        // The loads and the run name their own file; here the action's sample is named.
        const std::string& sample = session.state.loaded.file;
        throw too_large_for_memory(sample.empty() ? "chosen for " + name : sample);
      }
    }
  console_write("\nFell through case");
}

}  // namespace tav
