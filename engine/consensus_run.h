#pragma once

namespace tav {

// Reads IterBox, DistanceBox and NoAlignButton, runs the consensus they select on DATA with
// the current protocol, stores the consensus in REFERENCE and the processed sample in DATA
// (only when the whole run succeeded), and draws the sample with its protocol.
void run_consensus();

}  // namespace tav
