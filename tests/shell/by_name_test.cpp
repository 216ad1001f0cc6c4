// The conversions of call by name: inputs read into the typed parameters of the named functions
// (or refused with a text naming the function and the input), flags that take 0 or 1 only,
// results handed back, and the call state kept per session.
#include "shell/by_name.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "display/legend.h"
#include "engine/controls.h"
#include "engine/session.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "shell/convert.h"
#include "shell/function_table.h"
#include "shell/tavrel6.h"

namespace tav {
namespace {
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// What a conversion makes of a value: the value it reads (as a value again, to compare) or the
// text of its refusal.
struct Conversion {
  const char* what;
  Value given;
  std::function<Value(const Value&)> convert;
  Value read;             // when accepted
  const char* refused{};  // when refused: the whole text
};

template <class T>
std::function<Value(const Value&)> as() {
  return [](const Value& v) { return results(from_value<T>(v)).front(); };
}

Value index(const Value& v) { return Value(static_cast<double>(from_value<Index>(v))); }

Value members(std::initializer_list<Row> rows) {
  List l;
  for (const Row& r : rows) l.push_back(Value(r));
  return Value(l);
}

TEST(Conversions, ReadWhatCallersGiveAndRefuseTheRestWithTheReason) {
  const std::function<Value(const Value&)> colour = [](const Value& v) {
    return Value(from_value<ColourCode>(v) == ColourCode::compared ? "compared" : "own");
  };
  const std::function<Value(const Value&)> curve_members = [](const Value& v) {
    return Value(static_cast<double>(from_value<CurveMembers>(v).rows.size()));
  };
  const Conversion table[] = {
      {"matrix from the command line's text", Value("1 2 3"), as<Matrix>(), Value(row({1, 2, 3}))},
      {"a column read as a row", Value(Matrix(Row(row({4, 5})).transpose())), as<Row>(),
       Value(row({4, 5}))},
      {"number", Value(2.5), as<double>(), Value(2.5)},
      {"number spelled", Value("-3"), as<double>(), Value(-3.0)},
      {"two numbers are no number",
       Value(row({1, 2})),
       as<double>(),
       {},
       "expected a single number, got a 1x2 matrix"},
      {"a text is no matrix",
       Value("abc"),
       as<Matrix>(),
       {},
       "expected a number or matrix, got a text"},
      {"index", Value(3.0), index, Value(3.0)},
      {"index 0", Value(0.0), index, {}, "an index must be a positive whole number, got 0.000000"},
      {"whole number", Value(-2.0), as<int>(), Value(-2.0)},
      {"half a curve code", Value(1.5), as<int>(), {}, "must be a whole number, got 1.5"},
      {"curve code beyond int", Value(4e58), as<int>(), {}, "must be a whole number, got 4e+58"},
      {"flag 1", Value(1.0), as<bool>(), Value(1.0)},
      {"flag 0 spelled", Value("0"), as<bool>(), Value(0.0)},
      {"flag 2", Value(2.0), as<bool>(), {}, "must be 0 or 1, got 2"},
      {"empty flag", Value(), as<bool>(), {}, "must be 0 or 1, got a 0x0 matrix"},
      {"flag of two", Value(row({1, 1})), as<bool>(), {}, "must be 0 or 1, got a 1x2 matrix"},
      {"colour code 1", Value(1.0), colour, Value("compared")},
      {"colour code 0", Value(0.0), colour, Value("own")},
      {"colour code 3",
       Value(3.0),
       colour,
       {},
       "must be 0 (own colours) or 1 (own and comparison colours), got 3"},
      {"text", Value("new"), as<std::string>(), Value("new")},
      {"a number is no text",
       Value(1.0),
       as<std::string>(),
       {},
       "expected a text, got a 1x1 matrix"},
      {"point", Value(row({1, 2})), as<Eigen::RowVector2d>(), Value(row({1, 2}))},
      {"three numbers are no point",
       Value(row({1, 2, 3})),
       as<Eigen::RowVector2d>(),
       {},
       "a point is a 1x2 row [x y], got a 1x3 matrix"},
      {"curve members", members({row({1, 2}), row({3})}), curve_members, Value(2.0)},
      {"half a point number",
       members({row({1, 2.5})}),
       curve_members,
       {},
       "a curve member must be a positive whole point number, got 2.500000"},
  };
  for (const Conversion& c : table) {
    SCOPED_TRACE(c.what);
    if (c.refused) {
      EXPECT_THAT([&] { c.convert(c.given); },
                  ::testing::ThrowsMessage<Error>(::testing::StrEq(c.refused)));
    } else {
      EXPECT_EQ(c.convert(c.given), c.read);
    }
  }
}

class ByName : public ::testing::Test {
 protected:
  void SetUp() override { make_headless_window(session.objects()); }
  List call(const std::string& name, const List& in, int nout = 1) {
    return call_by_name(session, name, nout, in);
  }
  void expect_refused(const std::string& name, const List& in, const std::string& text) {
    SCOPED_TRACE(name);
    EXPECT_THAT([&] { call(name, in, 0); },
                ::testing::ThrowsMessage<Error>(::testing::StrEq(text)));
  }
  std::vector<std::string> legend() {
    std::vector<std::string> names;
    for (const auto& [name, line] : legend_entries(session.objects(), session.objects().gca()))
      names.push_back(name);
    return names;
  }

  ScriptedBackend backend;
  Session session{&backend};
  ConsoleCapture capture;
};

// A function made here for the test: its session part handed in, a required matrix, a text
// that may be left out; the results are the sizes it saw.
TEST_F(ByName, ARegisteredFunctionGetsItsSessionAndItsInputsInOrder) {
  Session* seen = nullptr;
  const FunctionEntry probe = named(
      "probe", 3, 2,
      [&](Session& s, const Matrix& x, std::optional<std::string> label) {
        seen = &s;
        return Consensus{Row::Constant(1, static_cast<double>(x.cols())),
                         Matrix::Constant(1, 1, label ? static_cast<double>(label->size()) : -1)};
      },
      "x label");
  EXPECT_EQ(probe.entry(session, {Value("1 2 3")}, 2), (List{Value(3.0), Value(-1.0)}));
  EXPECT_EQ(seen, &session);
  // The third declared input is not read.
  EXPECT_EQ(probe.entry(session, {Value(row({1, 2})), Value("ab"), Value("unread")}, 2),
            (List{Value(2.0), Value(2.0)}));
  EXPECT_THAT(
      [&] { probe.entry(session, {}, 1); },
      ::testing::ThrowsMessage<Error>(::testing::StrEq("probe needs at least 1 inputs, got 0")));
  EXPECT_THAT(
      [&] {
        probe.entry(session, {Value(1.0), Value(2.0)}, 1);
      },
      ::testing::ThrowsMessage<Error>(
          ::testing::StrEq("probe, input 2 (label): expected a text, got a 1x1 matrix")));
  // A table whose names do not match the inputs read is a programming error found at once.
  EXPECT_THROW(named(
                   "misnamed", 2, 0, [](const Matrix&, double) {}, "x"),
               std::logic_error);
}

TEST_F(ByName, TooFewTooManyAndWrongInputsNameTheFunctionAndTheInput) {
  const Value x(rows({{0, 0, 1, 0, 1}, {0, 0, 2, 0, 1}}));
  EXPECT_EQ(call("basereg", {x, Value(1.0), Value("2")})[0],
            Value(rows({{0, 0, 1, 0, 1}, {0, 0, 1, 0, 1}})));
  expect_refused("basereg", {x}, "basereg needs at least 3 inputs, got 1");
  expect_refused("basereg", {x, Value(1.0), Value(2.0), Value(3.0)},
                 "Run-time Error: File: basereg Line: 1 Column: 1 The function \"basereg\" was "
                 "called with more than the declared number of inputs (3).");
  expect_refused("basereg", {x, Value(0.0), Value(2.0)},
                 "basereg, input 2 (b1): an index must be a positive whole number, got 0.000000");
  expect_refused("getpsup", {Value("abc"), x},
                 "getpsup, input 1 (x): expected a number or matrix, got a text");
  expect_refused("getconsensusdist", {x, Value(0.0), Value(0.5), members({row({1})})},
                 "getconsensusdist, input 3 (numopen): must be a whole number, got 0.5");
  expect_refused("uspline", {Value(row({0, 0})), Value(row({1, 2, 3}))},
                 "uspline, input 2 (x2): a point is a 1x2 row [x y], got a 1x3 matrix");
  // Results: as many as asked for, in order.
  const List tangent = call("slope_est", {Value(row({0, 0, 1, 0, 2, 1}))}, 2);
  EXPECT_EQ(tangent.size(), 2u);
  EXPECT_EQ(call("slope_est", {Value(row({0, 0, 1, 0, 2, 1}))}, 1).size(), 1u);
  EXPECT_EQ(call("centpos", {Value(row({0, 0, 2, 4, 1}))}), List{Value(row({1, 2}))});
  EXPECT_EQ(call("isvarname", {Value("ok_name")}), List{Value(1.0)});
}

TEST_F(ByName, ANonTextActionFallsThroughLikeAnUnknownOne) {
  EXPECT_TRUE(call("zidudezu", {Value(3.0)}, 0).empty());
  EXPECT_EQ(capture.text(), "\nFell through case");
}

// The bool flags: the buttons and the legend's check box give 0 or 1; anything else is refused.
TEST_F(ByName, FlagsTakeZeroOrOne) {
  Objects& g = session.objects();
  call("showshape", {Value(row({0, 0, 1, 1, 1})), Value("b*")});
  const Handle axes = g.gca(), line = g.children(axes).front();
  call("setsymbolfill", {Value(axes), Value("1")}, 0);
  EXPECT_EQ(g.get(line, "MarkerFaceColor"), g.get(line, "Color"));
  call("setsymbolfill", {Value(axes), Value(0.0)}, 0);
  EXPECT_EQ(g.get(line, "MarkerFaceColor"), Value("none"));
  expect_refused("setsymbolfill", {Value(axes), Value(2.0)},
                 "setsymbolfill, input 2 (isfilled): must be 0 or 1, got 2");
  EXPECT_EQ(g.get(line, "MarkerFaceColor"), Value("none"));
  call("showlegend", {Value(0.0)}, 0);
  EXPECT_EQ(g.get(axes, "Legend"), Value("off"));
  expect_refused("showlegend", {Value(-1.0)}, "showlegend, input 1 (on): must be 0 or 1, got -1");
  EXPECT_EQ(g.get(axes, "Legend"), Value("off"));
}

// draw_protocol's trailing flags: left out or empty, xlines and ccode are off; omithelpers
// left out marks the helpers, empty hides them; the colour code is 0 or 1.
TEST_F(ByName, DrawProtocolFlagsLeftOutEmptyOrGiven) {
  const List protocol = {Value(row({0, 0, 1, 0, 2, 1, 3, 0, 1})),
                         members({row({1, 4}), row({1, 2, 3, 4})}),
                         members({row({0, 0}), row({0, 1, 2, 0})}), Value(0.0), Value(1.0)};
  auto draw = [&](const List& flags) {
    session.objects().cla(session.objects().gca());
    List in = protocol;
    in.insert(in.end(), flags.begin(), flags.end());
    return call("showsemiproto2", in);
  };
  EXPECT_EQ(draw({}), List{Value(0.0)});
  EXPECT_THAT(legend(), ElementsAre("Landmarks", "Semi-landmarks", "Helper points"));
  draw({Value(), Value()});
  EXPECT_THAT(legend(), ElementsAre("Landmarks", "Semi-landmarks"));
  draw({Value(), Value(0.0), Value()});
  EXPECT_THAT(legend(), ElementsAre("Landmarks", "Semi-landmarks", "Helper points"));
  draw({Value(0.0), Value(1.0), Value(1.0)});
  EXPECT_THAT(legend(), ElementsAre("Landmarks", "Landmarks (compared)", "Semi-landmarks",
                                    "Semi-landmarks (compared)"));
  expect_refused(
      "showsemiproto2",
      [&] {
        List in = protocol;
        in.insert(in.end(), {Value(0.0), Value(2.0)});
        return in;
      }(),
      "showsemiproto2, input 7 (omithelpers): must be 0 or 1, got 2");
  expect_refused(
      "showsemiproto2",
      [&] {
        List in = protocol;
        in.insert(in.end(), {Value(0.0), Value(0.0), Value(2.0)});
        return in;
      }(),
      "showsemiproto2, input 8 (ccode): must be 0 (own colours) or 1 (own and comparison colours), "
      "got 2");
}

// The running module is the session's: one session's call state is not another's; each call's
// error reaches its own caller.
TEST_F(ByName, RunningModuleAndErrorsBelongToTheirSession) {
  ScriptedBackend other_backend;
  Session other{&other_backend};
  {
    RunningModule module(session, "tavrel6");
    EXPECT_NO_THROW(call_by_name(session, "edit2_Callback", 0, {}));
    EXPECT_THROW(call_by_name(other, "edit2_Callback", 0, {}), Error);
  }
  EXPECT_THROW(call_by_name(session, "edit2_Callback", 0, {}), Error);
  // The command line's call raises its error to the caller, which makes it the exit status.
  EXPECT_THAT([&] { call_named_function(session, {Value("nosuchname")}, 0); },
              ::testing::ThrowsMessage<Error>(HasSubstr("nosuchname")));
  EXPECT_THAT([&] { call_named_function(other, {Value("basereg")}, 0); },
              ::testing::ThrowsMessage<Error>("basereg needs at least 3 inputs, got 0"));
}

}  // namespace
}  // namespace tav
