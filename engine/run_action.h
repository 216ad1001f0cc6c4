#pragma once
#include <string>

namespace tav {

struct Session;

// The action engine: runs the action named by the text (the first of "Load", "LoadReference",
// "Save", "SaveLMSLM", "SaveLM", "LoadProtocol", "SaveReference", "SaveReferenceLMSLM",
// "SaveReferenceLM", "Replot", "TangentPlot", "OriginalTangent", "Clear", "ShapeSpace",
// "ShowDF" that equals it, case-sensitively); any other text writes "\nFell through case" to
// the console.
void run_action(Session& session, const std::string& action);

// The action bodies.
void action_load(Session& session);
void action_load_reference(Session& session);
void action_load_protocol(Session& session);
enum class SaveKind { All, LandmarksSemilandmarks, Landmarks };
void action_save(Session& session, SaveKind kind);
void action_save_reference(Session& session, SaveKind kind);
void action_replot(Session& session);
void action_tangent_plot(Session& session, bool original);
void action_clear(Session& session);
void action_shape_space(Session& session);
// Keeps the shape space in step with the results: its window, when open, drawn afresh or closed
// when no sample is left; its control offered only while a sample is loaded.
void follow_shape_space(Session& session);

}  // namespace tav
