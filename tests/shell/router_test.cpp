#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

#include "engine/session.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "shell/function_table.h"
#include "shell/lifecycle.h"
#include "shell/tavrel6.h"

namespace tav {
namespace {
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

class Router : public ::testing::Test {
 protected:
  EngineState& engine_state() { return session.state; }
  List route(std::initializer_list<Value> in, int nout = 0) {
    return tavrel6(session, List(in), nout);
  }
  const std::string& last_error() const { return session.runtime.last_error; }
  List call_by_name(const std::string& name, int nout, const List& in) {
    return tav::call_by_name(session, name, nout, in);
  }

  // A caller names a function and relies on finding that one: the count check names the function
  // it found, so a call with one result (or input) too many shows which entry a name reaches
  // without running it.
  void expect_reached(const std::string& name, const FunctionEntry& e) {
    SCOPED_TRACE(name);
    if (e.outputs >= 0) {
      EXPECT_THAT([&] { call_by_name(name, e.outputs + 1, {}); },
                  ThrowsMessage<Error>(HasSubstr("\"" + name +
                                                 "\" was called with more than the declared "
                                                 "number of outputs")));
    } else if (e.inputs >= 0) {
      EXPECT_THAT(
          [&] { call_by_name(name, 0, List(static_cast<size_t>(e.inputs) + 1, Value(0.0))); },
          ThrowsMessage<Error>(HasSubstr("\"" + name +
                                         "\" was called with more than the declared "
                                         "number of inputs")));
    }
  }

  ScriptedBackend backend;
  Session session{&backend};
  ConsoleCapture capture;
};

// Every function answers to its name, once, from anywhere; a module's local functions answer to
// "module/local"; the program's entry comes first, and the functions the window calls are there.
TEST_F(Router, EveryFunctionAnswersToItsOwnName) {
  std::set<std::string> names;
  for (const FunctionEntry& e : function_table()) {
    EXPECT_TRUE(names.insert(e.name).second) << e.name << " is in the table twice";
    expect_reached(e.name, e);
    for (const FunctionEntry& local : e.locals) expect_reached(e.name + "/" + local.name, local);
  }
  EXPECT_EQ(function_table().front().name, "tavrel6");
  for (const char* name : {"zidudezu", "showlegend", "uspline"})
    EXPECT_EQ(names.count(name), 1u) << name;
}

// The two runtimes start first, then every module in the table's order; stopping follows it.
TEST_F(Router, StartOrderIsTheRuntimesThenEveryModuleInTableOrder) {
  const auto& t = function_table();
  const auto& it = init_term_table();
  ASSERT_EQ(it.size(), t.size() + 2);
  EXPECT_EQ(it[0].name, "matrix runtime");
  EXPECT_EQ(it[1].name, "graphics runtime");
  for (size_t i = 0; i < t.size(); ++i) EXPECT_EQ(it[i + 2].name, t[i].name);
}

TEST_F(Router, UnknownActionThroughTheRouterFallsThrough) {
  EXPECT_TRUE(route({Value("zidudezu"), Value("load")}).empty());
  EXPECT_EQ(capture.text(), "\nFell through case");
}

TEST_F(Router, TooManyInputsGiveTheCountTextAndChangeNothing) {
  route({Value("zidudezu"), Value("a"), Value("b")});
  EXPECT_EQ(capture.text(),
            "Run-time Error: File: zidudezu Line: 1 Column: 1 The function \"zidudezu\" was called "
            "with more than the declared number of inputs (1).\n");
  EXPECT_EQ(engine_state().DATA.size(), 0);
}

TEST_F(Router, TooManyOutputsAreCheckedBeforeInputs) {
  try {
    call_by_name("showshape", 2, {Value(1.0), Value("b*"), Value(3.0)});
    FAIL();
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("declared number of outputs (1)"));
  }
}

TEST_F(Router, LocalFunctionsCarryTheirModuleAndLine) {
  try {
    call_by_name("guidata/getParentFigure", 1, {Value(0.0), Value(1.0)});
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(
        e.what(),
        "Run-time Error: File: guidata/getParentFigure Line: 99 Column: 1 The function "
        "\"guidata/getParentFigure\" was called with more than the declared number of inputs (1).");
  }
}

TEST_F(Router, StubCallbacksWriteTheirLineAndGiveNoResult) {
  EXPECT_TRUE(route({Value("edit2_Callback"), Value("1"), Value("2"), Value("3")}, 1).empty());
  EXPECT_EQ(capture.text(), "edit2 Callback not implemented yet.\n");
}

TEST_F(Router, StubCallbacksAreFoundOnlyFromTheMainWindowModule) {
  EXPECT_THROW(call_by_name("edit2_Callback", 0, {}), Error);
}

TEST_F(Router, UnknownNameIsWrittenAndTheCallReturnsNormally) {
  EXPECT_TRUE(route({Value("nosuchname")}).empty());
  EXPECT_THAT(capture.text(), HasSubstr("nosuchname"));
  EXPECT_EQ(last_error(), capture.text().substr(0, capture.text().size() - 1));
}

TEST_F(Router, ANumberFirstDoesNothing) {
  EXPECT_TRUE(route({Value(3.0)}, 1).empty());
  EXPECT_EQ(capture.text(), "");
}

TEST_F(Router, NumbersGivenAsTextReachNumericFunctions) {
  const List out = route({Value("centpos"), Value("1 2 3 4 5 6 9")}, 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], Value(row({3, 4})));
}

}  // namespace
}  // namespace tav
