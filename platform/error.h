#pragma once
#include <stdexcept>
#include <string>

namespace tav {

// The one error type of the program: its text is what the user reads on the console or in a box.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tav
