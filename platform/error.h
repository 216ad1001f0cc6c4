#pragma once
#include <stdexcept>
#include <string>

namespace tav {

// The one error type of the program: its text is what the user reads on the console or in a box.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Text of the last error caught by the call router or the event loop ("" before any).
const std::string& last_error();
void set_last_error(const std::string& text);

}  // namespace tav
