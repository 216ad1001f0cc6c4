// The whole path of a user's session on small inputs: "Load" a sample, maybe "LoadReference",
// "LoadProtocol" with the run the controls select, maybe a tangent plot. Input layout: one byte
// of control bits, then the data file's bytes, a '|', and the protocol file's bytes.
// Whatever the files hold, an action either completes or stops with a message, and the
// persistent sample and consensus never hold a value that is not a number.
#include <filesystem>
#include <string>

#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "fuzz_support.h"
#include "platform/console.h"

using namespace tav;
using namespace tav::fuzz;

namespace {

enum Bit : unsigned {
  iterate = 1,
  distance = 2,
  no_align = 4,
  reference = 8,
  tangents = 16,
  curves = 32
};

void set_control(Objects& g, const std::string& tag, bool on) {
  g.set(g.find_by_tag(tag).front(), "Value", Value(on ? 1.0 : 0.0));
}

// Runs an action with the dialog answering `path`. An error ends the action, as the window's
// routing does; the session goes on with the next one.
void act(Session& session, ScriptedBackend& backend, const char* action, const std::string& path) {
  if (!path.empty()) backend.choose(path);
  try {
    run_action(session, std::string(action));
  } catch (const Error&) {
  }
}

bool same(const Matrix& a, const Matrix& b) {
  return a.rows() == b.rows() && a.cols() == b.cols() && (a.array() == b.array()).all();
}

void require_finite_state(const EngineState& s) {
  require(s.sample.allFinite(), "the stored sample holds numbers only");
  require(s.reference.allFinite(), "the stored consensus holds numbers only");
  require(s.plain_consensus.allFinite(), "the stored plain consensus holds numbers only");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const std::string data_path = scratch_file("data"),
                           protocol_path = scratch_file("protocol"),
                           reference_path = scratch_file("reference");
  const unsigned bits = data[0];
  const std::string_view rest = as_text(data + 1, size - 1);
  const std::size_t bar = rest.find('|');
  const std::string_view data_text = rest.substr(0, bar);
  write_bytes(data_path, data_text);
  const std::size_t first_end = data_text.find('\n');
  write_bytes(reference_path,
              data_text.substr(0, first_end == std::string_view::npos ? first_end : first_end + 1));
  write_bytes(protocol_path,
              bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1));

  ScriptedBackend backend;
  Session session(&backend);
  ConsoleCapture quiet;
  Objects& g = session.objects();
  make_headless_window(g);
  set_control(g, "IterBox", bits & iterate);
  set_control(g, "DistanceBox", bits & distance);
  set_control(g, "NoAlignButton", bits & no_align);
  set_control(g, "CurveButton", bits & curves);

  act(session, backend, "Load", data_path);
  require_finite_state(session.state);
  if (bits & reference) act(session, backend, "LoadReference", reference_path);
  const Matrix before = session.state.sample;
  act(session, backend, "LoadProtocol", protocol_path);
  require_finite_state(session.state);
  if (session.state.last_run.mode_text.empty())
    require(same(session.state.sample, before), "a refused or stopped run keeps the sample");
  if (bits & tangents) act(session, backend, "TangentPlot", "");
  require_finite_state(session.state);
  return 0;
}
