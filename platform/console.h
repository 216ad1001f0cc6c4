#pragma once
// The console: diagnostic lines and named values on standard output (unbuffered), or on a
// stream a test or the batch tool puts in its place. There is one for the whole process, as
// there is one standard output: sessions that write at once share it.
#include <ostream>
#include <sstream>
#include <string>

#include "platform/format.h"
#include "platform/value.h"

namespace tav {

std::ostream& console();
// Replaces the console stream; returns the previous one. nullptr restores standard output.
std::ostream* set_console(std::ostream* out);

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
