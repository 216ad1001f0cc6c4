#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/backend.h"
#include "platform/console.h"
#include "shell/framework.h"

namespace tav {
namespace {

using ::testing::HasSubstr;

class Movegui : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime.backend = &backend;
    gr().set(0, "screensize", Value(row({1, 1, 1024, 768})));
  }
  // A window whose outer position (frame included) is `outer`, in pixels.
  Handle window(const Row& outer) {
    const Handle fig = gr().create("figure", 0);
    gr().set(fig, "outerposition", Value(outer));
    return fig;
  }
  Row outer(Handle fig) { return gr().get(fig, "outerposition").matrix(); }

  ScriptedBackend backend;
  Runtime runtime;  // the test's own graphics objects, served by `backend`
  Runtime& rt() { return runtime; }
  Objects& gr() { return runtime.objects; }
};

struct Place {
  const char* name;
  Value position;
  double x, y;
};

class MoveguiPlace : public Movegui, public ::testing::WithParamInterface<Place> {};

// A 300×200 window at [900 700] on a 1024×768 screen: the ten places and given corners.
TEST_P(MoveguiPlace, PutsTheOuterCornerWhereThePlaceSays) {
  const Handle fig = window(row({900, 700, 300, 200}));
  movegui(rt(), {Value(fig), GetParam().position});
  EXPECT_EQ(outer(fig), row({GetParam().x, GetParam().y, 300, 200}));
}

INSTANTIATE_TEST_SUITE_P(
    Screen1024x768, MoveguiPlace,
    ::testing::Values(
        Place{"onscreen", Value("onscreen"), 724, 568}, Place{"center", Value("center"), 362, 284},
        Place{"southwest", Value("southwest"), 0, 0}, Place{"north", Value("north"), 362, 568},
        Place{"south", Value("south"), 362, 0}, Place{"east", Value("east"), 724, 284},
        Place{"west", Value("west"), 0, 284}, Place{"northeast", Value("northeast"), 724, 568},
        Place{"southeast", Value("southeast"), 724, 0},
        Place{"northwest", Value("northwest"), 0, 568},
        Place{"corner", Value(row({50, 60})), 50, 60},
        Place{"from_right_and_top", Value(row({-10, -10})), 714, 558}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(Movegui, NorthShowsTheNewCornerOnTheConsole) {
  const Handle fig = window(row({900, 700, 300, 200}));
  ConsoleCapture console;
  movegui(rt(), {Value(fig), Value("north")});
  EXPECT_EQ(console.text(), show_text("newpos", Value(row({362, 568}))));
}

TEST_F(Movegui, WindowWiderThanTheScreenKeepsTheScreensWidth) {
  const Handle fig = window(row({100, 100, 1200, 200}));
  movegui(rt(), {Value(fig), Value("center")});
  EXPECT_EQ(outer(fig), row({0, 284, 1024, 200}));
}

TEST_F(Movegui, WindowAlreadyOnScreenStaysAndKeepsItsUnits) {
  const Handle fig = window(row({100, 100, 300, 200}));
  gr().set(fig, "units", Value("normalized"));
  gr().set(fig, "activepositionproperty", Value("position"));
  const Value before = gr().get(fig, "position");
  movegui(rt(), {Value(fig)});
  EXPECT_EQ(gr().get(fig, "position"), before);
  EXPECT_EQ(gr().get(fig, "units"), Value("normalized"));
  EXPECT_EQ(gr().get(fig, "activepositionproperty"), Value("position"));
}

TEST_F(Movegui, RootUnitsAreRestored) {
  const Handle fig = window(row({100, 100, 300, 200}));
  gr().set(0, "units", Value("inches"));
  movegui(rt(), {Value(fig), Value("center")});
  EXPECT_EQ(gr().get(0, "units"), Value("inches"));
  EXPECT_EQ(outer(fig), row({362, 284, 300, 200}));
}

TEST_F(Movegui, AControlNamesItsWindow) {
  const Handle fig = window(row({900, 700, 300, 200}));
  window(row({10, 10, 300, 200}));  // current, must stay where it is
  const Handle button = gr().create("uicontrol", fig);
  movegui(rt(), {Value("southwest"), Value(button)});
  EXPECT_EQ(outer(fig), row({0, 0, 300, 200}));
}

TEST_F(Movegui, DefaultWindowIsTheRunningCallbacksThenTheCurrentOne) {
  const Handle owner = window(row({900, 700, 300, 200}));
  const Handle current = window(row({900, 700, 300, 200}));
  rt().callback_object = gr().create("uicontrol", owner);
  movegui(rt(), {Value("southwest")});
  EXPECT_EQ(outer(owner), row({0, 0, 300, 200}));
  EXPECT_EQ(outer(current), row({900, 700, 300, 200}));
  rt().callback_object = -1;
  movegui(rt(), {Value("southwest")});
  EXPECT_EQ(outer(current), row({0, 0, 300, 200}));
}

TEST_F(Movegui, EventDataIsIgnoredOnlyInSecondPlaceDuringACallback) {
  const Handle fig = window(row({900, 700, 300, 200}));
  const Value event_data(Struct{{"Source", Value(1.0)}});
  EXPECT_THROW(movegui(rt(), {Value(fig), event_data}), Error);
  rt().callback_object = gr().create("uicontrol", fig);
  movegui(rt(), {Value(fig), event_data, Value("southwest")});
  EXPECT_EQ(outer(fig), row({0, 0, 300, 200}));
  EXPECT_THROW(movegui(rt(), {event_data, Value(fig)}), Error);
}

struct BadArguments {
  const char* name;
  std::vector<Value> args;
  const char* message;
};

class MoveguiRefuses : public Movegui, public ::testing::WithParamInterface<BadArguments> {};

TEST_P(MoveguiRefuses, RaisesBeforeTheWindowMoves) {
  const Handle fig = window(row({900, 700, 300, 200}));
  try {
    movegui(rt(), GetParam().args);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr(GetParam().message));
  }
  EXPECT_EQ(outer(fig), row({900, 700, 300, 200}));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, MoveguiRefuses,
    ::testing::Values(
        BadArguments{"capital_place_name", {Value("Center")}, "unrecognized position"},
        BadArguments{"three_numbers", {Value(row({1, 2, 3}))}, "unrecognized input argument"},
        BadArguments{"root_handle", {Value(0.0)}, "handle of figure or descendant required"},
        BadArguments{"four_arguments",
                     {Value("center"), Value("center"), Value("center"), Value("center")},
                     "Too many input arguments"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
