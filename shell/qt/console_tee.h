#pragma once
// The console as the main window's log pane sees it: once attached, everything written to this
// thread's console goes on to the console it had and is also kept for the pane until taken.
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace tav {

class ConsoleTee {
 public:
  ConsoleTee() = default;
  // The console it had is back, when this one is still in its place.
  ~ConsoleTee();
  ConsoleTee(const ConsoleTee&) = delete;
  ConsoleTee& operator=(const ConsoleTee&) = delete;

  // From now on (once; a second call changes nothing).
  void attach();
  // Keeps text for the pane that the console does not get (a message box's text).
  void keep(const std::string& text);
  // Whether the text kept last ends with `line` and a line break: the pane has it already.
  bool ends_with_line(const std::string& line) const;
  // Whether anything was kept since the last take.
  bool has_pending() const { return !pending_.empty(); }
  // What was kept since the last take; forgets it.
  std::string take();

 private:
  std::string pending_;
  std::string tail_;  // the last few thousand characters kept, taken or not
  std::unique_ptr<std::streambuf> buffer_;
  std::unique_ptr<std::ostream> stream_;
  std::ostream* previous_ = nullptr;
};

}  // namespace tav
