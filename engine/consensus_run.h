#pragma once

#include "engine/run_report.h"

namespace tav {

struct Session;

// The window's run: the mode its check boxes select (IterBox, DistanceBox, NoAlignButton), with
// every pass drawn, the progress and Stop in its status line and the run's messages in boxes;
// then the processed sample drawn with its protocol. A stopped run leaves the drawing of its last
// pass and the results from before it. A run that fails raises Error.
RunReport run_consensus(Session& session);

}  // namespace tav
