#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/session.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "shell/function_table.h"
#include "shell/lifecycle.h"
#include "shell/tavrel6.h"

namespace tav {
namespace {
using ::testing::HasSubstr;

class Router : public ::testing::Test {
 protected:
  EngineState& engine_state() { return session.state; }
  List route(std::initializer_list<Value> in, int nout = 0) { return tavrel6(session, List(in), nout); }
  List call_by_name(const std::string& name, int nout, const List& in) {
    return tav::call_by_name(session, name, nout, in);
  }

  ScriptedBackend backend;
  Session session{&backend};
  ConsoleCapture capture;
};

// The program's 37 functions in their order, then the legend's check box function.
TEST_F(Router, TableHoldsThirtySevenFunctionsInOrderAndStartOrderHasThirtyNine) {
  const auto& t = function_table();
  ASSERT_EQ(t.size(), 38u);
  EXPECT_EQ(t[37].name, "showlegend");
  EXPECT_EQ(t[0].name, "tavrel6");
  EXPECT_EQ(t[1].name, "zidudezu");
  EXPECT_EQ(t[36].name, "uspline");
  EXPECT_EQ(t[0].locals.size(), 12u);
  const auto& it = init_term_table();
  ASSERT_EQ(it.size(), 40u);
  EXPECT_EQ(it[2].name, "tavrel6");
  EXPECT_EQ(it[38].name, "uspline");
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
    EXPECT_STREQ(e.what(),
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
