// Bad input through the actions: every refusal names the file and the line (or the specimen and
// the curve), and the sample and consensus from before stay as they were.
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>

#include "engine_fixture.h"
#include "platform/format.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

// An open ridge: landmarks 1 and 2 at its ends with five semi-landmarks between, landmark 8
// aside. Specimens are turned, scaled and jittered copies; `edit` may change one point.
struct PointEdit {
  int specimen = 0, point = 0;  // 1-based; 0: no edit
  int copy_of = 0;              // the point whose coordinates it takes
};

std::string ridge_sample(int n, PointEdit edit = {}, bool straight = false) {
  std::mt19937 gen(11);
  std::normal_distribution<double> jitter(0, 0.02);
  std::string text;
  for (int i = 1; i <= n; ++i) {
    std::vector<double> xy;
    auto add = [&](double x, double y) { xy.push_back(x), xy.push_back(y); };
    add(0, 0);
    add(1, 0);
    for (int t = 1; t <= 5; ++t)
      add(t / 6.0 + (straight ? 0 : jitter(gen)),
          straight ? 0 : 0.3 * std::sin(M_PI * t / 6) + jitter(gen));
    add(0.5, -0.5 + jitter(gen));
    if (edit.specimen == i) {
      xy[2 * edit.point - 2] = xy[2 * edit.copy_of - 2];
      xy[2 * edit.point - 1] = xy[2 * edit.copy_of - 1];
    }
    const double turn = 0.2 * i, scale = 1 + 0.1 * i;
    for (size_t p = 0; p < xy.size(); p += 2)
      text += sprintf_m("%.10g %.10g ",
                        {Value(scale * (std::cos(turn) * xy[p] - std::sin(turn) * xy[p + 1]) + i),
                         Value(scale * (std::sin(turn) * xy[p] + std::cos(turn) * xy[p + 1]))});
    text += std::to_string(i) + "\n";
  }
  return text;
}

const std::string kRidgeProtocol =
    "0 0 1 0\n0 0 2 0\n0 0 8 0\n1 0 1 0\n1 0 3 1\n1 0 4 1\n1 0 5 1\n1 0 6 1\n1 0 7 1\n1 0 2 0\n";

// A step of a session: an action given a file (nullopt: the good file of its kind).
struct Step {
  const char* action;
  std::optional<std::string> text;
};

// The last step meets the bad input; `seen` is what the user must read, besides the name of
// the file that last step was given.
struct BadInput {
  const char* name;
  std::vector<Step> steps;
  std::vector<std::string> seen;
  bool distance = false;  // "DistanceBox" on: the Procrustes-distance run
};

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const std::string kGood = ridge_sample(6);

std::vector<BadInput> bad_inputs() {
  return {
      // The data file.
      {"empty_data", {{"Load", ""}}, {"holds no numbers"}},
      {"text_data",
       {{"Load", "Specimen wings of 2024\nx y\n"}},
       {"line 1:", "\"Specimen\" is not a number"}},
      {"binary_data",
       {{"Load", std::string("\x1f\x8b\x08\0\0\0\0\0\x02\x03 1 2", 14)}},
       {"line 1:", "byte 0x1F, which is not text"}},
      {"stray_character", {{"Load", "1 2 3\n4 5; 6\n"}}, {"line 2:", "\"5;\" is not a number"}},
      {"very_long_line",
       {{"Load", "1 2 3\n" + repeat("1.5 ", 100000) + "7\n"}},
       {"line 2:", "100001 numbers where line 1 has 3"}},
      {"very_long_token",
       {{"Load", "1 2 3\n4 " + repeat("7", 5000) + " 6\n"}},
       {"line 2:", "beyond the range of a double"}},
      {"ragged_rows",
       {{"Load", "1 2 3\n4 5 6\n7 8\n"}},
       {"line 3:", "2 numbers where line 1 has 3"}},
      {"not_a_number",
       {{"Load", "1 2 3\n4 NaN 6\n"}},
       {"line 2:", "\"NaN\" is not a finite number"}},
      {"infinite", {{"Load", "1 2 3\n-inf 5 6\n"}}, {"line 2:", "\"-inf\" is not a finite number"}},
      {"beyond_double_range",
       {{"Load", "1 2 3\n4 1e400 6\n"}},
       {"line 2:", "beyond the range of a double"}},
      {"even_count", {{"Load", "1 2 3 4\n5 6 7 8\n"}}, {"4 numbers per line", "odd count"}},
      // The protocol file, over a good sample.
      {"point_zero",
       {{"Load", {}}, {"LoadProtocol", "0 0 1 0\n0 0 0 0\n"}},
       {"row 2:", "the point 0 is not a positive whole number"}},
      {"negative_point",
       {{"Load", {}}, {"LoadProtocol", "0 0 1 0\n0 0 -3 0\n"}},
       {"row 2:", "the point -3"}},
      {"fractional_point",
       {{"Load", {}}, {"LoadProtocol", "0 0 1 0\n1 0 2.5 1\n"}},
       {"row 2:", "the point 2.5"}},
      {"point_beyond_data",
       {{"Load", {}}, {"LoadProtocol", kRidgeProtocol + "1 0 9 1\n"}},
       {"row 11", "names point 9, but the data have 8 points"}},
      {"point_far_beyond_data",
       {{"Load", {}}, {"LoadProtocol", kRidgeProtocol + "1 0 4e9 1\n"}},
       {"row 11", "names point 4e+09, but the data have 8 points"}},
      {"gap_in_curve_codes",
       {{"Load", {}}, {"LoadProtocol", "0 0 1 0\n2 0 3 1\n2 0 4 1\n2 0 5 1\n"}},
       {"no row has curve code 1"}},
      {"three_columns",
       {{"Load", {}}, {"LoadProtocol", "0 0 1\n0 0 2\n"}},
       {"line 1: expected a point number", "a curve-protocol row holds four whole numbers"}},
      {"protocol_of_text",
       {{"Load", {}}, {"LoadProtocol", "curve point type\n0 1 0\n"}},
       {"line 1:", "not a number"}},
      {"curve_too_short_distance",
       {{"Load", {}}, {"LoadProtocol", "0 0 1 0\n0 0 2 0\n1 0 1 0\n1 0 2 0\n"}},
       {"curve 1 has 2 points", "an open curve needs at least 3"},
       true},
      {"curve_too_short_bending",
       {{"Load", {}}, {"LoadProtocol", "0 0 1 0\n0 0 2 0\n1 0 1 0\n1 0 3 1\n1 0 4 1\n1 0 2 0\n"}},
       {"curve 1 has 4 points", "an open curve needs at least 6"}},
      {"closed_curve_too_short_bending",
       {{"Load", {}},
        {"LoadProtocol", "0 0 1 0\n0 0 2 0\n0 0 8 0\n-1 0 3 1\n-1 0 4 1\n-1 0 5 1\n-1 0 6 1\n"}},
       {"curve -1 has 4 points", "a closed curve needs at least 6", "the slide is not fixed"}},
      // Degenerate geometry: the run stops naming the specimen and the curve.
      {"coincident_points_distance",
       {{"Load", ridge_sample(6, {3, 5, 3})}, {"LoadProtocol", {}}},
       {"specimen 3, curve 1", "coincide"},
       true},
      // Points 1 and 6 end the tangent window of curve 1's first interior point, 3: with them
      // made one, the window has no chord to fit along.
      {"coincident_points_bending",
       {{"Load", ridge_sample(6, {3, 6, 1})}, {"LoadProtocol", {}}},
       {"specimen 3, curve 1, point 3", "coincide"}},
      {"collinear_curve_bending",
       {{"Load", ridge_sample(6, {}, true)}, {"LoadProtocol", {}}},
       {"curve 1", "line"}},
      // A user reference whose length does not fit the data.
      {"reference_of_wrong_length",
       {{"Load", {}}, {"LoadReference", "0 0 1 0 2\n"}, {"LoadProtocol", {}}},
       {"The number of landmarks in the User Reference loaded does not match", "reference"},
       true},
  };
}

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

class BadInputTest : public EngineTest, public ::testing::WithParamInterface<BadInput> {
 protected:
  // What the user reads: the error the window's routing writes to the console, and every
  // message and error box.
  std::string seen(const std::string& action, const std::string& path) {
    std::string text;
    try {
      act(action, path);
    } catch (const Error& e) {
      text += e.what();
    }
    for (const auto& m : backend.messages) text += "\n" + m;
    for (const auto& m : backend.errors) text += "\n" + m;
    return text;
  }
};

TEST_P(BadInputTest, IsRefusedWithAMessageNamingTheFileAndKeepsEarlierResults) {
  const BadInput& c = GetParam();
  // Earlier results: a sample superimposed by a completed run.
  act("Load", file("good.txt", kGood));
  act("LoadProtocol", file("good_protocol.txt", kRidgeProtocol));
  ASSERT_FALSE(engine_state().last_run.mode_text.empty());
  set_control("DistanceBox", c.distance);

  std::string text, path;
  for (size_t i = 0; i < c.steps.size(); ++i) {
    const Step& s = c.steps[i];
    const bool protocol = std::string(s.action) == "LoadProtocol";
    path = s.text ? file(std::string(c.name) + "_" + std::to_string(i) + ".txt", *s.text)
                  : (dir / (protocol ? "good_protocol.txt" : "good.txt")).string();
    if (i + 1 < c.steps.size()) {
      act(s.action, path);
      continue;
    }
    const Matrix data = engine_state().sample, reference = engine_state().reference;
    const Row oref = engine_state().plain_consensus;
    text = seen(s.action, path);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(max_abs_diff(engine_state().sample, data), 0);
    EXPECT_EQ(max_abs_diff(engine_state().reference, reference), 0);
    EXPECT_EQ(max_abs_diff(engine_state().plain_consensus, oref), 0);
  }
  EXPECT_THAT(text, HasSubstr(path.substr(path.rfind('/') + 1)));
  for (const std::string& s : c.seen) EXPECT_THAT(text, HasSubstr(s));
  EXPECT_TRUE(all_finite(engine_state().sample) && all_finite(engine_state().reference));
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInputTest, ::testing::ValuesIn(bad_inputs()),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
