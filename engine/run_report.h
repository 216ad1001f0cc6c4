#pragma once
// What a consensus run is asked to do and how it ended.
#include <string>

namespace tav {

enum class RunMode {
  plain,                    // no sliding: the plain Procrustes consensus
  distance,                 // one slide by Procrustes distance
  distance_onto_reference,  // ... onto the user reference
  bending,                  // one slide by bending energy
  iterated_bending,         // iterated, damped slides by bending energy
};

struct RunOptions {
  RunMode mode = RunMode::bending;
};

// The mode the window's check boxes select: "No semi-landmark alignment" wins over "Distance",
// which wins over "Iterate"; a distance run slides onto the user reference when one is loaded.
RunOptions run_options(bool no_align, bool distance, bool iterate, bool user_reference);

// How a run ended: below its tolerance (every run but the iterated one), where its change
// stopped shrinking above the tolerance (an earlier pass kept), at its pass limit, or stopped
// by the user (the results from before the run kept).
enum class RunEnd { converged, settled, pass_limit, stopped };

struct RunReport {
  RunMode mode = RunMode::plain;
  std::string mode_text;  // "plain Procrustes consensus (no sliding)", ...
  int passes = 0;         // passes of the iterated run; 0 for the others
  RunEnd end = RunEnd::converged;
  std::string ending;  // what the run said of its end, when it did not converge
  bool converged() const { return end == RunEnd::converged; }
};

}  // namespace tav
