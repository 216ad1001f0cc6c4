#pragma once
#include "platform/value.h"

namespace tav {

// The action engine: runs the action named by the text (the first of "Load", "LoadReference",
// "Save", "SaveLMSLM", "SaveLM", "LoadProtocol", "SaveReference", "SaveReferenceLMSLM",
// "SaveReferenceLM", "Replot", "TangentPlot", "OriginalTangent", "Clear", "ShowDF" that equals
// it, case-sensitively); anything else writes "\nFell through case" to the console.
void zidudezu(const Value& action);

// The action bodies.
void action_load();
void action_load_reference();
void action_load_protocol();
enum class SaveKind { All, LandmarksSemilandmarks, Landmarks };
void action_save(SaveKind kind);
void action_save_reference(SaveKind kind);
void action_replot();
void action_tangent_plot(bool original);
void action_clear();

}  // namespace tav
