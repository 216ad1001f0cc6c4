#pragma once
// The engine's state: the user's work in one session (engine/session.h), from its start to its
// end. Only the engine's functions (engine/engine.h) and the window's actions change it.
#include <functional>
#include <optional>
#include <string>

#include "consensus/consensus.h"
#include "engine/run_report.h"
#include "engine/sample.h"
#include "platform/matrix.h"

namespace tav {

struct EngineState {
  Sample loaded;                 // the sample as the last Load read it: every run starts from it
  Matrix sample{0, 0};           // n×(2k+1) the sample as the last run left it, or as loaded
  Matrix reference{0, 0};        // the user reference, or the consensus of the last run
  bool user_reference = false;   // the reference is the user's
  std::string reference_format;  // the format the user reference was read in
  std::string reference_trailing_text;  // its trailing value as written
  std::string reference_file;           // its file's name, as the window shows it
  Protocol protocol;                    // the last protocol loaded
  Row plain_consensus{0};               // of the sample as loaded
  // The whole plain consensus Load computed (with the superimposed sample), kept for a plain
  // run so that it is not computed twice; every other run drops it.
  std::optional<Consensus> loaded_plain;
  RunReport last_run;  // set by every completed consensus run
  // What the main axes show, for questions about a point under the pointer.
  enum class Shown { nothing, sample, consensus, plain_consensus };
  Shown shown = Shown::nothing;
  bool helpers_hidden = false;  // the drawing leaves the helper points out (not to be pointed at)
};

// The consensus routines a run calls; tests put recording stand-ins in their place.
struct ConsensusRoutines {
  std::function<Consensus(const Matrix&)> plain = plain_consensus;
  std::function<Consensus(const Matrix&, const CurveProtocol&)> distance = distance_consensus;
  std::function<Consensus(const Matrix&, const CurveProtocol&, const Matrix&)> distance_onto =
      distance_consensus_onto;
  std::function<Consensus(const Matrix&, const CurveProtocol&)> bending = bending_consensus;
  std::function<Consensus(const Matrix&, const CurveProtocol&, IterationObserver&)>
      iterated_bending = iterated_bending_consensus;
};

}  // namespace tav
