#pragma once
// The console: diagnostic lines and named values on standard output (unbuffered), or on a
// stream put in its place for the calling thread: a session's log while one of its actions runs
// (ConsoleScope), a test's capture, the batch tool's quiet sink. Each thread has its own, so two
// sessions working on two threads never write into each other's log.
#include <ostream>
#include <sstream>
#include <string>

#include "platform/format.h"
#include "platform/value.h"

namespace tav {

// This thread's console stream.
std::ostream& console();
// Replaces this thread's console stream; returns the previous one. nullptr restores standard
// output.
std::ostream* set_console(std::ostream* out);

// Makes `out` this thread's console while the scope lives (nullptr: the console stays as it
// is); the console before it comes back afterwards.
class ConsoleScope {
 public:
  explicit ConsoleScope(std::ostream* out)
      : lent_(out != nullptr), previous_(out ? set_console(out) : nullptr) {}
  ~ConsoleScope() {
    if (lent_) set_console(previous_);
  }
  ConsoleScope(const ConsoleScope&) = delete;
  ConsoleScope& operator=(const ConsoleScope&) = delete;

 private:
  bool lent_;
  std::ostream* previous_;
};

// Writes text as it stands (no line end added) and flushes.
void console_write(const std::string& text);
// Shows a value labelled with its name: "name = 3", "name = [1 2 3]", or a matrix as
// "name =" followed by its rows, each on a line; numbers as "%g" with `digits` significant digits.
void console_show(const std::string& name, const Value& v, int digits = kGDigits);
std::string show_text(const std::string& name, const Value& v, int digits = kGDigits);

// Collects everything the console receives while it lives (tests).
class ConsoleCapture {
 public:
  ConsoleCapture() : previous_(set_console(&buffer_)) {}
  ~ConsoleCapture() { set_console(previous_); }
  std::string text() const { return buffer_.str(); }

 private:
  std::ostringstream buffer_;
  std::ostream* previous_;
};

}  // namespace tav
