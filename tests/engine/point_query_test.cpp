#include "engine/point_query.h"

#include <gtest/gtest.h>

#include "engine/engine_state.h"

namespace tav {
namespace {

// The pointer is answered from whatever the main axes show, read where the engine keeps it:
// the sample by specimen, the run's consensus and the plain consensus as one configuration.
TEST(PointQuery, NamesThePointOfWhateverIsShown) {
  EngineState s;
  s.sample = rows({{0, 0, 1, 0, 7}, {0, 1, 1, 1, 8}, {0, 2, 1, 2, 9}});
  s.reference = rows({{5, 5, 6, 5, 1}});
  s.plain_consensus = row({9, 9, 10, 9, 1});
  s.loaded.file = "a.txt";
  struct Case {
    EngineState::Shown shown;
    double x, y;
    const char* said;  // "" when no point is near enough
  };
  const Case cases[] = {
      {EngineState::Shown::sample, 1.05, 1.02, "point 2, specimen 2 (line 2 of a.txt)"},
      {EngineState::Shown::sample, 0.02, 2.01, "point 1, specimen 3 (line 3 of a.txt)"},
      {EngineState::Shown::consensus, 6, 5.05, "point 2, consensus"},
      {EngineState::Shown::plain_consensus, 10.02, 9, "point 2, plain consensus"},
      {EngineState::Shown::plain_consensus, 6, 5, ""},
      {EngineState::Shown::nothing, 1, 1, ""},
  };
  for (const Case& c : cases) {
    s.shown = c.shown;
    const std::optional<ShownPoint> p = nearest_shown_point(s, c.x, c.y, 0.2, 0.2);
    EXPECT_EQ(p ? describe_point(s, *p) : "", c.said) << c.x << " " << c.y;
  }
}

}  // namespace
}  // namespace tav
