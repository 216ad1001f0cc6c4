#pragma once

#include "consensus/consensus.h"

namespace tav {

struct Session;

// Refuses a result holding a value that is not a number, naming the specimen (or the
// consensus), the point and its curves.
void refuse_not_finite(const Consensus& result, const CurveProtocol& curves);

// Reads IterBox, DistanceBox and NoAlignButton, runs the consensus they select on DATA with
// the current protocol, stores the consensus in REFERENCE and the processed sample in DATA
// (only when the whole run succeeded), and draws the sample with its protocol.
void run_consensus(Session& session);

}  // namespace tav
