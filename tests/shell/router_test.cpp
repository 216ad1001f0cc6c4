// Call by name as its callers use it: the documented names, each reaching its typed routine and
// giving that routine's results; more inputs or results than documented refused with the
// program's texts before anything runs; the router's protected call, which writes an error as one
// console line; the modules' start and stop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "consensus/consensus.h"
#include "engine/session.h"
#include "geometry/geometry.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "shell/function_table.h"
#include "shell/lifecycle.h"
#include "shell/tavrel6.h"
#include "sliding/sliding.h"

namespace tav {
namespace {
using ::testing::StrEq;
using ::testing::ThrowsMessage;

constexpr int kAny = -1;  // any number: never compared

// Every function a caller may name, with the counts the program documents, in its table order.
struct Documented {
  const char* name;
  int inputs, outputs;
};
const Documented kDocumented[] = {
    {"tavrel6", kAny, kAny},
    {"zidudezu", 1, 1},
    {"CopyDrawing", 1, 0},
    {"CopyImageEPS", 1, 0},
    {"incrementsymbolsize", 2, 0},
    {"setsymbolfill", 2, 0},
    {"guidata", 2, 1},
    {"guihandles", 1, 1},
    {"openfig", 2, 1},
    {"basereg", 3, 1},
    {"cla", kAny, 1},
    {"getconsensus", 1, 2},
    {"getconsensusdist", 5, 2},
    {"getconsensusdistu", 6, 2},
    {"getconsensusmix2", 5, 2},
    {"getconsensusmix5", 5, 2},
    {"getpsup", 2, 1},
    {"mfload", 1, 2},
    {"showsemiproto2", 8, 1},
    {"showshape", 2, 1},
    {"showshape_tangent", 5, 2},
    {"isvarname", 1, 1},
    {"movegui", kAny, 0},
    {"centpos", 1, 1},
    {"centsize", 1, 1},
    {"tavreldist", 4, 1},
    {"makeLfinal", 3, 1},
    {"tavrel2", 4, 1},
    {"dload", 1, 1},
    {"umaker", 3, 1},
    {"iskeyword", 1, 1},
    {"umakera", 3, 1},
    {"gettspl", 1, 1},
    {"vertxy", 1, 1},
    {"umaker2", 3, 1},
    {"slope_est", 1, 2},
    {"uspline", 2, 1},
    {"showlegend", 1, 0},
};

// The functions only their module calls by name, reached from anywhere as "module/local"; the
// count texts name them so, with the line at which each is declared.
struct Local {
  const char* name;
  int line;
};
const Local kLocals[] = {{"guidata/getParentFigure", 99},
                         {"guihandles/getParentFigure", 78},
                         {"guihandles/createHandles", 86},
                         {"movegui/get_parent_fig", 166}};

// The main window's callbacks that only say they do nothing, found from its own module.
const char* const kStubCallbacks[] = {
    "pushbutton1", "FileBox",     "pushbutton2", "edit2",        "pushbutton3", "pushbutton5",
    "pushbutton6", "pushbutton7", "pushbutton8", "NumberButton", "CurveButton", "OriginalButton"};

std::string too_many(const std::string& file, int line, const char* what, int declared) {
  return "Run-time Error: File: " + file + " Line: " + std::to_string(line) +
         " Column: 1 The function \"" + file +
         "\" was called with more than the declared number of " + what + " (" +
         std::to_string(declared) + ").";
}

List zeros(int n) { return List(static_cast<size_t>(n), Value(0.0)); }

class Router : public ::testing::Test {
 protected:
  List route(std::initializer_list<Value> in, int nout = 0) {
    return tavrel6(session, List(in), nout);
  }
  List call(const std::string& name, const List& in, int nout) {
    return call_by_name(session, name, nout, in);
  }

  ScriptedBackend backend;
  Session session{&backend};
  ConsoleCapture capture;
};

// Results are compared first, then inputs: a call with too many of both is told about its
// results. Nothing runs before the refusal (the engine's sample stays empty).
TEST_F(Router, MoreThanTheDocumentedCountsIsRefusedWithTheProgramsText) {
  for (const Documented& d : kDocumented) {
    SCOPED_TRACE(d.name);
    if (d.outputs != kAny) {
      EXPECT_THAT([&] { call(d.name, zeros(d.inputs == kAny ? 1 : d.inputs + 1), d.outputs + 1); },
                  ThrowsMessage<Error>(StrEq(too_many(d.name, 1, "outputs", d.outputs))));
    }
    if (d.inputs != kAny) {
      EXPECT_THAT([&] { call(d.name, zeros(d.inputs + 1), 0); },
                  ThrowsMessage<Error>(StrEq(too_many(d.name, 1, "inputs", d.inputs))));
    }
  }
  for (const Local& l : kLocals) {
    SCOPED_TRACE(l.name);
    EXPECT_THAT([&] { call(l.name, zeros(2), 1); },
                ThrowsMessage<Error>(StrEq(too_many(l.name, l.line, "inputs", 1))));
    EXPECT_THAT([&] { call(l.name, zeros(1), 2); },
                ThrowsMessage<Error>(StrEq(too_many(l.name, l.line, "outputs", 1))));
  }
  EXPECT_EQ(session.state.sample.size(), 0);
  EXPECT_EQ(capture.text(), "");
}

TEST_F(Router, AnyNumberIsNeverCompared) {
  EXPECT_TRUE(call("tavrel6", {Value(3.0), Value(1.0), Value(2.0), Value(4.0)}, 5).empty());
  EXPECT_EQ(capture.text(), "");
}

// The modules start in this order and stop in it, the two runtimes last.
TEST_F(Router, StartOrderIsTheTwoRuntimesThenEveryDocumentedFunction) {
  std::vector<std::string> expected = {"matrix runtime", "graphics runtime"};
  for (const Documented& d : kDocumented) expected.push_back(d.name);
  std::vector<std::string> order;
  for (const InitTerm& e : init_term_table()) order.push_back(e.name);
  EXPECT_EQ(order, expected);
}

// Starting puts the engine's state in its first state, once per session; stopping clears it.
TEST_F(Router, ModulesStartOnceAndStoppingClearsTheEnginesState) {
  session.state.sample = rows({{9}});
  start_all(session);
  EXPECT_TRUE(started(session));
  EXPECT_EQ(session.state.sample.size(), 0);
  session.state.sample = rows({{1, 2, 3}});
  start_all(session);  // already started: the work stays
  EXPECT_EQ(session.state.sample, rows({{1, 2, 3}}));
  stop_all(session);
  EXPECT_FALSE(started(session));
  EXPECT_EQ(session.state.sample.size(), 0);
  stop_all(session);  // stopping twice is harmless
  EXPECT_FALSE(started(session));
}

// A caller that names a routine gets what the routine itself gives for the same inputs, result
// by result, in order; results not asked for are dropped.
TEST_F(Router, CallingByNameGivesTheTypedRoutinesResults) {
  const Matrix x =
      rows({{0, 0, 2, 0, 1, 2, 7}, {1, 1, 3, 1.5, 2, 3.5, 8}, {0, 0, 1, -1, 2, 0.5, 9}});
  const Row config = x.row(1);
  const Row curve = row({0, 0, 1, 0.2, 2, 0.1, 3, 0.6, 4, 0.4, 5, 0.9, 6, 1.2});
  const Row target = curve + row({0, 0.1, 0.05, 0, 0, -0.2, 0.1, 0, 0, 0.1, -0.1, 0, 0, 0});
  const Matrix L = bending_energy_matrix(curve);
  const Consensus c = plain_consensus(x);
  const Tangent t = end_tangent(row({0, 0, 1, 0, 2, 1}));
  const Eigen::RowVector2d p1(0.5, 1), p2(2, -1);
  struct Case {
    const char* name;
    List in;
    int nout;
    List typed;
  };
  const Case cases[] = {
      {"centpos", {Value(config)}, 1, {Value(Matrix(centroid_of(config)))}},
      {"centsize", {Value(x)}, 1, {Value(Matrix(centroid_size(x)))}},
      {"basereg", {Value(x), Value(1.0), Value(3.0)}, 1, {Value(baseline_registration(x, 1, 3))}},
      {"getpsup", {Value(x), Value(config)}, 1, {Value(fit_onto(x, config))}},
      {"getconsensus", {Value(x)}, 2, {Value(Matrix(c.y)), Value(c.xpt)}},
      {"getconsensus", {Value(x)}, 1, {Value(Matrix(c.y))}},
      {"slope_est", {Value(row({0, 0, 1, 0, 2, 1}))}, 2, {Value(t.x), Value(t.y)}},
      {"uspline", {Value(Matrix(p1)), Value(Matrix(p2))}, 1, {Value(spline_kernel(p1, p2))}},
      {"vertxy", {Value(config)}, 1, {Value(point_matrix(config))}},
      {"gettspl", {Value(point_matrix(curve))}, 1, {Value(spline_system(point_matrix(curve)))}},
      {"makeLfinal", {Value(curve)}, 1, {Value(L)}},
      {"umaker", {Value(curve), Value(0.0)}, 1, {Value(quadratic_tangent_basis(curve, false))}},
      {"umaker2", {Value(curve), Value(1.0)}, 1, {Value(bending_slide_basis(curve, true))}},
      {"umakera", {Value(curve), Value(0.0)}, 1, {Value(chord_tangent_basis(curve, false))}},
      {"tavreldist",
       {Value(curve), Value(target), Value(0.0)},
       1,
       {Value(Matrix(damped_distance_step(curve, target, false)))}},
      // By name the reference comes first; the step itself reads it only through Lfinal.
      {"tavrel2",
       {Value(curve), Value(target), Value(0.0), Value(L)},
       1,
       {Value(Matrix(damped_bending_step(target, false, L)))}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(call(k.name, k.in, k.nout), k.typed);
  }
}

TEST_F(Router, NumbersGivenAsTextThroughTheRouterReachNumericFunctions) {
  const List out = route({Value("centpos"), Value("1 2 3 4 5 6 9")}, 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], Value(row({3, 4})));
}

TEST_F(Router, UnknownActionThroughTheRouterFallsThrough) {
  EXPECT_TRUE(route({Value("zidudezu"), Value("load")}).empty());
  EXPECT_EQ(capture.text(), "\nFell through case");
}

// The router's protected call: the refusal is written as one console line, and the call returns
// normally with nothing changed.
TEST_F(Router, ARefusalThroughTheRouterIsOneConsoleLineAndChangesNothing) {
  route({Value("zidudezu"), Value("a"), Value("b")});
  EXPECT_EQ(capture.text(), too_many("zidudezu", 1, "inputs", 1) + "\n");
  EXPECT_EQ(session.state.sample.size(), 0);
}

TEST_F(Router, UnknownNameIsWrittenAndTheCallReturnsNormally) {
  EXPECT_TRUE(route({Value("nosuchname")}).empty());
  const std::string text = "Undefined function \"nosuchname\": no function of that name is known";
  EXPECT_EQ(capture.text(), text + "\n");
}

TEST_F(Router, ANumberFirstDoesNothing) {
  EXPECT_TRUE(route({Value(3.0)}, 1).empty());
  EXPECT_EQ(capture.text(), "");
}

TEST_F(Router, StubCallbacksWriteTheirLineAndGiveNoResult) {
  std::string expected;
  for (const char* stub : kStubCallbacks) {
    SCOPED_TRACE(stub);
    const std::string name = std::string(stub) + "_Callback";
    EXPECT_TRUE(route({Value(name), Value("1"), Value("2"), Value("3")}, 1).empty());
    expected += std::string(stub) + " Callback not implemented yet.\n";
  }
  EXPECT_EQ(capture.text(), expected);
}

// Outside the main window's module a callback is reached only by its module's name.
TEST_F(Router, StubCallbacksAreFoundOnlyFromTheMainWindowModule) {
  EXPECT_THAT([&] { call("edit2_Callback", {}, 0); },
              ThrowsMessage<Error>(StrEq(
                  "Undefined function \"edit2_Callback\": no function of that name is known")));
  EXPECT_TRUE(call("tavrel6/edit2_Callback", {}, 0).empty());
  EXPECT_EQ(capture.text(), "edit2 Callback not implemented yet.\n");
}

}  // namespace
}  // namespace tav
