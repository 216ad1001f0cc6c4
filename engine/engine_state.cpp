#include "engine/engine_state.h"

namespace tav {

EngineState& engine_state() {
  static EngineState state;
  return state;
}

ConsensusRoutines& consensus_routines() {
  static ConsensusRoutines routines;
  return routines;
}

}  // namespace tav
