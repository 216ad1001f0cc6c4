#pragma once
// The action engine's state: the user's work in one session (engine/session.h), from its
// start to its end. Only the actions of run_action read or write it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "consensus/consensus.h"
#include "formats/tps.h"
#include "platform/matrix.h"

namespace tav {

// How an iterated run ended: below its tolerance, where its change stopped shrinking above
// the tolerance (an earlier pass kept), or at its pass limit. Every other run converges.
enum class RunEnd { converged, settled, pass_limit };

// What the last consensus run did, for the batch tool's status line and exit status.
struct RunReport {
  std::string mode;                // "plain", "Procrustes distance", ...
  int passes = 0;                  // passes of the iterated run; 0 for the others
  RunEnd end = RunEnd::converged;  // how the iterated run ended
  std::string ending;              // what the run said of its end, when it did not converge
  bool converged() const { return end == RunEnd::converged; }
};

struct EngineState {
  Matrix LOADED{0, 0};  // n×(2k+1) sample as read by "Load": every run starts from it
  Matrix DATA{0, 0};    // n×(2k+1) sample: as read after "Load", superimposed after a run
  std::string FNAME1;   // data file name without folder
  std::string data_format, reference_format;  // the formats they were read in (format_read)
  std::vector<std::string> specimen_ids;  // TPS data: ID= of every row ("" where none); else empty
  TpsLayout tps_layout;   // TPS data: its landmarks and curve blocks; else none (no points)
  Row centroid_sizes{0};  // of every specimen as loaded, before any superimposition
  std::vector<std::string> trailing_text;  // numeric rows: each row's trailing value as read
  std::string reference_trailing_text;     // a user reference's trailing value as read
  Matrix PROTOC{0, 0};                     // protocol table as read
  std::string FNAMEP;                      // protocol file name without folder
  Matrix REFERENCE{0, 0};                  // user reference, or the consensus of the last run
  // numfullcurves, numopencurves, curvemembers, curvemembertypes of the last protocol.
  CurveProtocol curves;
  bool has_curves = false;  // false while the four are still empty
  double numberlm = 0, numberslm = 0, numberhlp = 0;
  Row lmtypelist{0};          // type of every point: 0 landmark, 1 semi-landmark, 2 helper
  Index protocol_points = 0;  // point count of the data the last protocol was loaded over
  bool userreference = false;
  Row oref{0};  // plain consensus of the sample as loaded
  // The whole plain consensus "Load" computed (with the superimposed sample), kept for the
  // batch tool's plain run so that it is not computed twice; every consensus run drops it.
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
  std::function<Consensus(const Matrix&, const CurveProtocol&)> dist = distance_consensus;
  std::function<Consensus(const Matrix&, const CurveProtocol&, const Matrix&)> distu =
      distance_consensus_onto;
  std::function<Consensus(const Matrix&, const CurveProtocol&)> mix2 = bending_consensus;
  std::function<Consensus(const Matrix&, const CurveProtocol&, IterationObserver&)> mix5 =
      iterated_bending_consensus;
};

}  // namespace tav
