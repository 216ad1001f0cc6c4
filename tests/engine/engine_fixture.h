#pragma once
// A session of its own per test: a headless main window (a figure with axes and every control
// the actions read), a scripted backend answering the dialogs, an empty engine state and a
// captured console.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "support/protocol_kinds.h"
#include "support/test_support.h"

namespace tav::test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    figure = make_headless_window(gr());
    axes = gr().gca();
    capture = std::make_unique<ConsoleCapture>();
  }
  void TearDown() override { capture.reset(); }

  // The session's parts, by the names the tests read them with.
  Objects& gr() { return session.objects(); }
  EngineState& engine_state() { return session.state; }
  ConsensusRoutines& consensus_routines() { return session.routines; }
  // An action as the window's controls name it; a value that is no text names no action.
  void run_action(const Value& action) {
    tav::run_action(session, action.is_text() ? action.text() : std::string());
  }

  // Writes a file in the test's folder and returns its path.
  std::string file(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void set_control(const std::string& tag, double v) {
    gr().set(gr().find_by_tag(tag).front(), "Value", Value(v));
  }
  std::string status(const std::string& tag) {
    return gr().get(gr().find_by_tag(tag).front(), "String").text();
  }
  // Runs an action with the dialog answering `path`.
  void act(const std::string& action, const std::string& path) {
    backend.choose(path);
    run_action(Value(action));
  }
  // The one message the last refusal showed (the refusal reaches the user, not only the
  // console); empty, with a test failure, when there was not exactly one.
  std::string refusal() {
    EXPECT_EQ(backend.messages.size(), 1u);
    const std::string text = backend.messages.size() == 1 ? backend.messages[0] : "";
    backend.messages.clear();
    return text;
  }
  // Points drawn in the current axes: by lines with that marker, or by any line.
  size_t drawn(const std::string& marker = "") {
    size_t n = 0;
    for (Handle c : gr().children(gr().gca()))
      if (gr().type(c) == "line" && (marker.empty() || gr().get(c, "Marker").text() == marker))
        n += static_cast<size_t>(gr().get(c, "XData").matrix().size());
    return n;
  }

  ScriptedBackend backend;
  Session session{&backend};
  Handle figure = 0, axes = 0;
  TempDir temp;  // the test's own folder
  const std::filesystem::path dir = temp.path();
  std::unique_ptr<ConsoleCapture> capture;
};

}  // namespace tav::test
