// The engine's typed functions on a session, called as the batch tool calls them: no figure, no
// controls, no dialog answers.
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/session.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

std::string bytes_of_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class EngineApi : public ::testing::Test {
 protected:
  // Ends every iterated run after its first pass, as the window's Stop does.
  class StopAfterFirstPass : public RunObserver {
   public:
    bool stop_wanted() override { return true; }
  };

  void load_shells() {
    load_sample(session, kExamples + "shells.txt");
    load_protocol(session, kExamples + "shells_protocol.txt");
  }
  std::string file(const std::string& name, const std::string& text) {
    std::ofstream(dir.file(name), std::ios::binary) << text;
    return dir.file(name);
  }

  Session session;
  RunObserver quiet;
  TempDir dir;
};

TEST_F(EngineApi, ALoadRunAndSaveWriteTheKeptBytesAndBuildNoFigure) {
  load_shells();
  const RunReport report = run(session, {RunMode::bending}, quiet);
  EXPECT_EQ(report.mode, RunMode::bending);
  EXPECT_TRUE(report.converged());
  save_result(session, Result::sample, dir.file("s.txt"));
  save_result(session, Result::reference_landmarks, dir.file("r.txt"));
  const std::string kept = data_path("golden/shells_bending/");
  EXPECT_EQ(bytes_of_file(dir.file("s.txt")), bytes_of_file(kept + "save.txt"));
  EXPECT_EQ(bytes_of_file(dir.file("r.txt")), bytes_of_file(kept + "reference_lm.txt"));
  EXPECT_TRUE(session.objects().children(0).empty());
  export_drawing(session, dir.file("p.svg"));
  EXPECT_GT(bytes_of_file(dir.file("p.svg")).size(), 10000u);
  EXPECT_TRUE(session.objects().children(0).empty());  // drawn for the export alone
}

TEST_F(EngineApi, BytesLoadAsTheirFileDoes) {
  Session from_bytes;
  load_shells();
  load_reference(session, data_path("golden/shells_reference.txt"));
  load_sample_text(from_bytes, "shells.txt", bytes_of_file(kExamples + "shells.txt"));
  load_protocol_text(from_bytes, "shells_protocol.txt",
                     bytes_of_file(kExamples + "shells_protocol.txt"));
  load_reference_text(from_bytes, "shells_reference.txt",
                      bytes_of_file(data_path("golden/shells_reference.txt")));
  const EngineState &a = session.state, &b = from_bytes.state;
  EXPECT_EQ(a.loaded.rows, b.loaded.rows);
  EXPECT_EQ(a.loaded.file, b.loaded.file);
  EXPECT_EQ(a.loaded.trailing_text, b.loaded.trailing_text);
  EXPECT_EQ(a.protocol.kinds, b.protocol.kinds);
  EXPECT_EQ(a.protocol.curves.members, b.protocol.curves.members);
  EXPECT_EQ(a.reference, b.reference);
  EXPECT_EQ(a.plain_consensus, b.plain_consensus);
}

// A refused load raises one Error with the whole text and leaves the session as it was.
TEST_F(EngineApi, ARefusedLoadChangesNothing) {
  load_shells();
  run(session, {RunMode::distance}, quiet);
  const EngineState before = session.state;
  struct Refusal {
    const char* what;
    std::function<void()> load;
    const char* says;
  };
  const std::string ragged = file("ragged.txt", "1 2 3 4 5\n1 2 3\n");
  const std::string beyond = file("beyond.txt", "0 0 1 0\n1 0 99 1\n1 0 3 1\n1 0 4 0\n");
  const std::string two = file("two.txt", "1 2 3 4 5 6 7\n1 2 3 4 5 6 7\n");
  const Refusal refusals[] = {
      {"ragged sample", [&] { load_sample(session, ragged); }, "line 2"},
      {"missing sample", [&] { load_sample(session, dir.file("absent.txt")); }, "absent.txt"},
      {"protocol beyond the data", [&] { load_protocol(session, beyond); }, "names point 99"},
      {"two references", [&] { load_reference(session, two); }, "holds 2 configurations"},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.what);
    EXPECT_THAT(r.load, ::testing::ThrowsMessage<Error>(HasSubstr(r.says)));
    EXPECT_EQ(session.state.loaded.rows, before.loaded.rows);
    EXPECT_EQ(session.state.sample, before.sample);
    EXPECT_EQ(session.state.reference, before.reference);
    EXPECT_EQ(session.state.protocol.kinds, before.protocol.kinds);
    EXPECT_EQ(session.state.last_run.mode_text, before.last_run.mode_text);
  }
  EXPECT_THAT([&] { load_sample(session, ragged); },
              ::testing::ThrowsMessage<Error>(HasSubstr("nothing was loaded")));
}

// A Stop is a way a run ends, not an error: the results from before the run are kept.
TEST_F(EngineApi, AStoppedRunEndsStoppedAndKeepsTheEarlierResults) {
  load_shells();
  run(session, {RunMode::distance}, quiet);
  const Matrix sample = session.state.sample, reference = session.state.reference;
  StopAfterFirstPass stop;
  const RunReport report = run(session, {RunMode::iterated_bending}, stop);
  EXPECT_EQ(report.end, RunEnd::stopped);
  EXPECT_FALSE(report.converged());
  EXPECT_EQ(report.passes, 1);
  EXPECT_THAT(report.ending, HasSubstr("stopped by the user after pass 1"));
  EXPECT_EQ(session.state.sample, sample);
  EXPECT_EQ(session.state.reference, reference);
  EXPECT_EQ(session.state.last_run.mode, RunMode::distance);
}

// Without a protocol the run takes the plain consensus Load computed; a second run computes it
// again and gives the same results.
TEST_F(EngineApi, APlainRunWithoutAProtocolGivesTheSameResultsTwice) {
  load_sample(session, kExamples + "shells.txt");
  run(session, {RunMode::bending}, quiet);
  const Matrix first = session.state.sample, consensus = session.state.reference;
  run(session, {RunMode::bending}, quiet);
  EXPECT_EQ(session.state.sample, first);
  EXPECT_EQ(session.state.reference, consensus);
  EXPECT_EQ(session.state.last_run.mode, RunMode::plain);
}

TEST_F(EngineApi, TheCheckBoxesSelectTheMode) {
  struct Choice {
    bool no_align, distance, iterate, reference;
    RunMode mode;
  };
  for (const Choice& c : {Choice{true, true, true, true, RunMode::plain},
                          Choice{false, true, true, false, RunMode::distance},
                          Choice{false, true, false, true, RunMode::distance_onto_reference},
                          Choice{false, false, true, true, RunMode::iterated_bending},
                          Choice{false, false, false, false, RunMode::bending}})
    EXPECT_EQ(run_options(c.no_align, c.distance, c.iterate, c.reference).mode, c.mode);
}

TEST_F(EngineApi, AResultThatIsNotThereIsRefusedAndNothingIsWritten) {
  EXPECT_THAT(missing_result(session, Result::sample), ::testing::Optional(HasSubstr("no sample")));
  EXPECT_THAT([&] { save_result(session, Result::reference, dir.file("r.txt")); },
              ::testing::ThrowsMessage<Error>(HasSubstr("nothing was written")));
  EXPECT_THAT([&] { export_drawing(session, dir.file("p.svg")); },
              ::testing::ThrowsMessage<Error>(HasSubstr("nothing was written")));
  EXPECT_TRUE(dir.entries().empty());
  load_sample(session, kExamples + "shells.txt");
  EXPECT_EQ(missing_result(session, Result::sample), std::nullopt);
  EXPECT_THAT(missing_result(session, Result::protocol_sliders),
              ::testing::Optional(HasSubstr("no protocol")));
}

}  // namespace
}  // namespace tav::test
