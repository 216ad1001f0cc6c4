#pragma once
// One user's work with the program: the sample, reference and protocol loaded, the graphics
// objects that show them and the backend that serves the dialogs. The desktop window owns one
// session, every batch run owns one; the actions work on the session they are given, so two
// sessions in one process never see each other's data.
#include <ostream>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/run_observer.h"
#include "platform/backend.h"
#include "platform/format.h"

namespace tav {

struct Session {
  // backend: the dialogs and boxes of this session (nullptr: a scripted one that answers
  // every dialog with a cancel).
  explicit Session(Backend* backend = nullptr) { runtime.backend = backend; }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Objects& objects() { return runtime.objects; }
  Backend& ui() { return runtime.ui(); }

  EngineState state;
  ConsensusRoutines routines;
  Runtime runtime;
  // Significant digits of the numbers this session's Save actions write as "%g", and of the
  // iterated run's devref on the console (6; the batch tool's --digits). Messages keep 6.
  int digits = kGDigits;
  // Whether the program's modules were started for this session (the shell's start table).
  bool modules_started = false;
  // The module of the call-by-name table whose code is running: its local functions are found
  // first ("" outside every module).
  std::string running_module;
  // Listeners of every consensus run besides the console, the drawing and the boxes (the
  // batch tool's pass count); the session does not own them.
  std::vector<RunObserver*> observers;
  // Where the console lines of this session's actions go (nullptr: the console of the thread
  // that runs them), and how many threads their computations use (0: the thread's count). Both
  // are lent to the thread for the length of each action.
  std::ostream* log = nullptr;
  int threads = 0;
};

}  // namespace tav
