// The desktop program: unbuffered console, modules started in order, tavrel6 called with the
// command-line arguments, window events served until the last window closes, modules stopped.
#include <cstdio>
#include <iostream>

#include "engine/point_query.h"
#include "engine/session.h"
#include "formats/file_kind.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "shell/callback_runner.h"
#include "shell/lifecycle.h"
#include "shell/qt/qt_backend.h"
#include "shell/tavrel6.h"

namespace {

int run(int argc, char** argv) {
  // The window's session: the window, its drawing and the user's work, until it closes; the
  // backend shows its figures and answers its dialogs.
  tav::Session session;
  tav::QtBackend backend(session.runtime);
  backend.remember = true;
  backend.describe_point = [&session](double x, double y, double rx, double ry) {
    return tav::describe_shown_point(session, x, y, rx, ry);
  };
  backend.highlight_point = [&session](double x, double y, double rx, double ry) {
    tav::highlight_shown_point(session, x, y, rx, ry);
  };
  backend.load_action_for = [&session](const std::string& path) {
    return tav::load_action_for(path, session.state.sample);
  };
  backend.attach_console();
  tav::install_callback_runner(session);
  tav::start_all(session);
  tav::List args;
  for (int i = 1; i < argc; ++i) args.push_back(tav::Value(argv[i]));
  // A call by name that fails (an unknown name, wrong counts, an error) is written on the
  // console as one line, and the program ends with status 1 once its windows are closed.
  bool call_failed = false;
  try {
    if (args.empty())
      tav::tavrel6(session, args, 0);
    else
      tav::call_named_function(session, args, 0);
  } catch (const std::exception& e) {
    if (args.empty()) {
      // Opening the window failed (a missing figure file, no display): no window, no loop.
      std::cerr << "tavrel6: " << e.what() << "\n";
      tav::stop_all(session);
      return 1;
    }
    tav::console_write(std::string(e.what()) + "\n");
    call_failed = true;
  }
  const int status = session.ui().event_loop();
  tav::stop_all(session);
  return call_failed ? 1 : status;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::cout.setf(std::ios::unitbuf);
  return run(argc, argv);
}
