// The shape space of the session's results: the sample a run superimposed on its consensus, or
// after a Load alone the plain consensus Load computed.
#include <vector>

#include "engine/engine.h"
#include "engine/session.h"

namespace tav {
namespace {

// The superimposed sample and the consensus it was superimposed on.
struct Superimposed {
  const Matrix* sample = nullptr;
  Row consensus{0};
};

bool ran_since_load(const EngineState& s) { return !s.last_run.mode_text.empty(); }

// A run superimposes its sample on the consensus it leaves as the reference, except that a user
// reference loaded after the run is not that consensus: the run made the consensus the mean of
// its superimposed sample (of unit size), so the mean stands in for it.
Row run_consensus_of(const EngineState& s) {
  const bool reference_is_the_runs =
      !s.user_reference || s.last_run.mode == RunMode::distance_onto_reference;
  if (reference_is_the_runs && s.reference.size() > 0) return s.reference.row(0);
  return unit_size_rows(s.sample, s.loaded.points()).colwise().mean();
}

// computed: where a plain consensus computed here is kept, when the session keeps none.
Superimposed superimposed_of(const EngineState& s, Consensus& computed) {
  Superimposed r;
  if (ran_since_load(s)) {
    r.sample = &s.sample;
    r.consensus = run_consensus_of(s);
  } else if (s.loaded_plain && s.loaded_plain->xpt.rows() == s.loaded.specimens()) {
    r.sample = &s.loaded_plain->xpt;
    r.consensus = s.loaded_plain->y;
  } else {  // a run stopped before it finished dropped the plain consensus Load kept
    computed = plain_consensus(s.loaded.rows);
    r.sample = &computed.xpt;
    r.consensus = computed.y;
  }
  return r;
}

std::vector<int> point_kinds(const EngineState& s) {
  std::vector<int> kinds(static_cast<size_t>(s.loaded.points()));
  for (Index p = 1; p <= s.loaded.points(); ++p)
    kinds[static_cast<size_t>(p - 1)] = static_cast<int>(s.protocol.kind_of(p));
  return kinds;
}

}  // namespace

ShapeSpace shape_space(const Session& session) {
  const EngineState& s = session.state;
  if (s.loaded.empty()) throw Error("shape space: no sample is loaded; load one first");
  Consensus computed;
  const Superimposed sup = superimposed_of(s, computed);
  ShapeSpace space = shape_space_of(*sup.sample, sup.consensus);
  space.centroid_sizes = s.loaded.centroid_sizes;
  const std::vector<int> kinds = point_kinds(s);
  const bool slid = ran_since_load(s) && s.last_run.mode != RunMode::plain;
  space.slides =
      slid ? slide_record(s.loaded.rows, *sup.sample, sup.consensus, s.protocol.curves, kinds)
           : no_slides(s.loaded.specimens(), sup.consensus, s.protocol.curves, kinds);
  return space;
}

}  // namespace tav
