#pragma once
// The headless batch tool: replays the window's actions on files named on its command line.
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/session.h"

namespace tav {

struct BatchOptions {
  std::string data, reference, protocol;
  bool distance = false, iterate = false, no_align = false, verbose = false;
  bool quiet = false;  // no status line per step (warnings and errors still shown)
  int digits = 0;      // 0: "%g" as it stands
  std::string save, save_lmslm, save_lm, save_reference, save_reference_lmslm, save_reference_lm;
  std::string plot;
  std::string save_tps;                                   // the processed sample as a TPS file
  std::string save_nts, save_morphologika, save_morphoj;  // ... as NTS, Morphologika, MorphoJ text
  std::string save_protocol_sliders;                      // the loaded protocol as a sliders table
  std::string suggest_protocol;                    // a protocol to start from, for a TPS sample
  std::string save_scores, save_pca, save_slides;  // the shape space's tables (CSV)
  std::string plot_shape_space;                    // the shape space as a picture
  std::pair<int, int> pcs{1, 2};                   // its components: across, up
  bool help = false;
  std::vector<std::string> warnings;  // settings that conflict, with which one wins
};

// Exit statuses of the batch tool.
enum BatchStatus { kBatchOk = 0, kBatchFailed = 1, kBatchBadArguments = 2, kBatchNotConverged = 3 };

// Parses the arguments after the program name; raises Error with a usage hint on a bad one,
// on an option given twice, and on an output that would overwrite an input or another output
// (compared by file identity, not spelling).
BatchOptions parse_batch_options(const std::vector<std::string>& args);
const char* batch_usage();

// Runs the options: "Load", "LoadReference", "LoadProtocol" (or the plain consensus without a
// protocol), the saves, the plot. Boxes, errors and (unless quiet) one status line per step go
// to `err`. Returns the exit status (BatchStatus). The run works in a session of its own, or in
// `session` (a fresh one, which the caller may then inspect; the run answers its dialogs while
// it lasts).
int run_batch(const BatchOptions& o, std::ostream& err);
int run_batch(const BatchOptions& o, std::ostream& err, Session& session);

}  // namespace tav
