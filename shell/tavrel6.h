#pragma once
#include "platform/value.h"

namespace tav {

struct Session;

// The main window function. No inputs: opens the main window (result 1 its handle when asked).
// A text first: calls the function of that name with the other inputs, in a protected call
// whose error text goes to the console as one line. Anything else: nothing.
List tavrel6(Session& session, const List& in, int nout);
// The same call of a function by name, with its error raised to the caller (the program's
// command line turns it into its exit status).
List call_named_function(Session& session, const List& in, int nout);

// The twelve callbacks that only report that they do nothing, in their table order.
struct StubCallback {
  const char* name;
  const char* line;
};
const std::vector<StubCallback>& stub_callbacks();

}  // namespace tav
