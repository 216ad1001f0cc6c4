#include "platform/objects.h"

#include <clocale>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <vector>

namespace tav {
namespace {

TEST(Objects, PropertyNamesIgnoreCase) {
  Objects g;
  const Handle ax = g.create("axes", g.create("figure", 0));
  g.set(ax, "xlim", row({0, 1}));
  EXPECT_EQ(g.get(ax, "XLim"), Value(row({0, 1})));
  EXPECT_EQ(g.get(ax, "TYPE"), Value("axes"));
}

TEST(Objects, FindsControlsByTagAndListsChildrenNewestFirst) {
  Objects g;
  const Handle fig = g.create("figure", 0);
  const Handle a = g.create("uicontrol", fig), b = g.create("uicontrol", fig);
  g.set(a, "Tag", "FileBox");
  g.set(b, "Tag", "ProtoBox");
  EXPECT_EQ(g.find_by_tag("ProtoBox"), std::vector<Handle>{b});
  EXPECT_TRUE(g.find_by_tag("filebox").empty());  // tags are compared exactly
  EXPECT_EQ(g.get(fig, "Children"), Value(Matrix((Eigen::MatrixXd(2, 1) << b, a).finished())));
  EXPECT_EQ(g.figure_of(a), fig);
}

TEST(Objects, AppDataReadsEmptyWhenNeverStored) {
  Objects g;
  EXPECT_TRUE(g.appdata(0, "nothing").empty());
  g.set_appdata(0, "TOKEN", Value(row({1, 2})));
  EXPECT_EQ(g.appdata(0, "TOKEN"), Value(row({1, 2})));
}

TEST(Objects, InvalidHandlesRaiseErrors) {
  Objects g;
  const Handle fig = g.create("figure", 0);
  g.remove(fig);
  EXPECT_FALSE(g.valid(fig));
  EXPECT_THROW(g.get(fig, "Color"), Error);
  EXPECT_THROW(g.set(fig, "Color", row({0, 0, 0})), Error);
}

TEST(Objects, AnInvalidFractionalHandleIsNamedWithAPointUnderAnyLocale) {
  Objects g;
  const Handle line = g.line(g.gca(), row({0}), row({0}), "k.");
  g.remove(line);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
      << "the locale de_DE.UTF-8 is missing: run scripts/setup, which generates it";
  std::string text;
  try {
    g.get(line, "Color");
  } catch (const Error& e) {
    text = e.what();
  }
  std::setlocale(LC_ALL, "C");
  EXPECT_THAT(text, ::testing::HasSubstr("Invalid handle " +
                                         std::to_string(static_cast<long>(line)) + ".5:"));
}

TEST(Objects, HoldKeepsDrawingsAndClaRemovesThem) {
  Objects g;
  const Handle ax = g.gca();
  g.line(ax, row({0}), row({0}), "b*");
  g.line(ax, row({1}), row({1}), "b*");
  EXPECT_EQ(g.children(ax).size(), 1u);  // without hold a new drawing replaces the old
  g.hold(ax, true);
  g.line(ax, row({2}), row({2}), "ko");
  g.text(ax, 0, 0, "1");
  EXPECT_EQ(g.children(ax).size(), 3u);
  g.cla(ax);
  EXPECT_TRUE(g.children(ax).empty());
  EXPECT_TRUE(g.valid(ax));
}

// Clearing an axes or deleting a figure takes every object below it, at any depth.
TEST(Objects, ClaAndRemoveTakeEveryDescendant) {
  Objects g;
  const Handle ax = g.gca();
  const Handle fig = g.parent(ax);
  g.hold(ax, true);
  std::vector<Handle> drawn;
  for (int i = 0; i < 50; ++i) drawn.push_back(g.line(ax, row({double(i)}), row({0}), "k."));
  g.cla(ax);
  for (const Handle h : drawn) EXPECT_FALSE(g.valid(h));
  EXPECT_TRUE(g.children(ax).empty());
  const Handle kept = g.line(ax, row({1}), row({1}), "k.");
  EXPECT_EQ(g.children(ax), std::vector<Handle>{kept});
  g.remove(fig);
  EXPECT_FALSE(g.valid(ax));
  EXPECT_FALSE(g.valid(kept));
  EXPECT_TRUE(g.children(0).empty());
}

TEST(Objects, LineSpecificationsSetColourMarkerAndStyle) {
  Objects g;
  const Handle ax = g.gca();
  const Handle h = g.line(ax, row({0, 1}), row({0, 1}), "k:");
  EXPECT_EQ(g.get(h, "LineStyle"), Value(":"));
  EXPECT_EQ(g.get(h, "Marker"), Value("none"));
  const Handle s = g.line(ax, row({0}), row({0}), "rs");
  EXPECT_EQ(g.get(s, "Color"), Value(row({1, 0, 0})));
  EXPECT_EQ(g.get(s, "Marker"), Value("s"));
  EXPECT_THROW(g.line(ax, row({0}), row({0}), "q?"), Error);
}

TEST(Objects, AxisAutoFitsEverythingDrawn) {
  Objects g;
  const Handle ax = g.gca();
  g.hold(ax, true);
  g.line(ax, row({0, 10}), row({0, 5}), "k.");
  g.axis_auto(ax);
  const Row a = g.axis(ax);
  EXPECT_LE(a(0), 0);
  EXPECT_GE(a(1), 10);
  EXPECT_LE(a(2), 0);
  EXPECT_GE(a(3), 5);
  g.axis(ax, row({0, 10, 0, 5}));
  EXPECT_EQ(g.axis(ax), row({0, 10, 0, 5}));
}

TEST(Objects, PositionsConvertBetweenUnits) {
  Objects g;
  const Handle fig = g.create("figure", 0);
  g.set(fig, "Position", row({0, 0, 700, 480}));
  g.set(fig, "Units", "characters");
  EXPECT_EQ(g.get(fig, "Position"), Value(row({0, 0, 100, 30})));
  const Handle ax = g.create("axes", fig);
  g.set(ax, "Units", "characters");
  g.set(ax, "Position", row({12, 3, 95, 26}));
  g.set(ax, "Units", "normalized");
  const Row n = g.get(ax, "Position").matrix();
  EXPECT_NEAR(n(0), 0.12, 1e-12);
  EXPECT_NEAR(n(2), 0.95, 1e-12);
}

TEST(Objects, FigureNumberIsCreatedWhenMissingAndMadeCurrent) {
  Objects g;
  g.gcf();
  const Handle two = g.figure(2);
  EXPECT_EQ(two, 2);
  EXPECT_EQ(g.gcf(), 2);
  EXPECT_EQ(g.figures().size(), 2u);
}

// What numbers() reads in place must be what get() copies: the same numbers in the same
// order, or Error where get() gives no matrix.
void expect_numbers_as_get(const Objects& g, Handle h, const char* name) {
  SCOPED_TRACE(name);
  const Value v = g.get(h, name);
  if (!v.is_matrix()) {
    EXPECT_THROW(g.numbers(h, prop(name)), Error);
    return;
  }
  const std::span<const double> in_place = g.numbers(h, prop(name));
  const Matrix& m = v.matrix();
  EXPECT_EQ(std::vector<double>(in_place.begin(), in_place.end()),
            std::vector<double>(m.data(), m.data() + m.size()));
}

// A line keeps its usual properties compactly when they have the usual form (a single point,
// an RGB row, a marker letter, a line style) and any other value as given: both read back
// exactly, and a later usual value replaces an unusual one.
TEST(Objects, LinePropertiesReadBackWhateverTheirForm) {
  struct Case {
    const char* name;
    Value unusual;
    Value usual;
  };
  const Matrix column = (Eigen::MatrixXd(3, 1) << 1, 0, 0).finished();
  const Case cases[] = {
      {"XData", Value(row({1, 2, 3})), Value(2.5)},
      {"XData", Value(column), Value(Matrix(0, 0))},
      {"YData", Value(row({})), Value(-4.0)},
      {"Color", Value("r"), Value(row({0.85, 0.75, 0}))},
      {"Color", Value(column), Value(row({0.1, 0.2, 0.3}))},
      {"MarkerFaceColor", Value("auto"), Value(row({0, 0, 1}))},
      {"MarkerFaceColor", Value(2.0), Value("none")},
      {"Marker", Value("square"), Value("d")},
      {"Marker", Value(1.0), Value("none")},
      {"LineStyle", Value("dotted"), Value("-.")},
      {"LineStyle", Value(""), Value("none")},
  };
  Objects g;
  const Handle ax = g.gca();
  g.hold(ax, true);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + describe(c.unusual));
    const Handle h = g.line(ax, row({0}), row({0}), "b*");
    const Handle other = g.line(ax, row({7}), row({8}), "ko");
    g.set(h, c.name, c.unusual);
    EXPECT_EQ(g.get(h, c.name), c.unusual);
    expect_numbers_as_get(g, h, c.name);
    g.set(h, c.name, c.usual);
    EXPECT_EQ(g.get(h, c.name), c.usual);
    expect_numbers_as_get(g, h, c.name);
    EXPECT_EQ(g.get(other, "XData"), Value(7.0));  // neighbours untouched
    EXPECT_EQ(g.get(other, "Color"), Value(row({0, 0, 0})));
    for (const char* name : {"XData", "Color", "MarkerFaceColor", "MarkerSize"})
      expect_numbers_as_get(g, other, name);
  }
}

TEST(Objects, LinesStartWithTheUsualDefaultsAndTakeAnyOtherProperty) {
  Objects g;
  const Handle ax = g.gca();
  const Handle bare = g.create("line", ax);
  EXPECT_EQ(g.get(bare, "MarkerSize"), Value(6.0));
  EXPECT_EQ(g.get(bare, "MarkerFaceColor"), Value("none"));
  EXPECT_EQ(g.get(bare, "Color"), Value(row({0, 0, 0})));
  EXPECT_EQ(g.get(bare, "LineStyle"), Value("-"));
  EXPECT_EQ(g.get(bare, "Marker"), Value("none"));
  EXPECT_TRUE(g.get(bare, "XData").empty());
  EXPECT_EQ(g.get(bare, "Type"), Value("line"));
  g.axis_auto(ax);  // a line without points adds nothing to the limits
  const Handle nothing_drawn = g.create("axes", g.gcf());
  g.axis_auto(nothing_drawn);
  EXPECT_EQ(g.axis(ax), g.axis(nothing_drawn));
  g.set(bare, "Tag", "outline");
  g.set(bare, "LineWidth", 2.0);
  g.set_appdata(bare, "curve", Value(3.0));
  EXPECT_EQ(g.find_by_tag("outline"), std::vector<Handle>{bare});
  EXPECT_EQ(g.get(bare, "linewidth"), Value(2.0));
  EXPECT_EQ(g.appdata(bare, "curve"), Value(3.0));
  EXPECT_THROW(g.set(bare, "MarkerSize", -1.0), Error);
  EXPECT_EQ(g.get(bare, "MarkerSize"), Value(6.0));
  for (const char* name : {"MarkerSize", "MarkerFaceColor", "Color", "LineStyle", "XData", "Tag",
                           "LineWidth", "NeverSet"})
    expect_numbers_as_get(g, bare, name);
}

// Other objects read their stored numbers in place too; what is worked out when read cannot be.
TEST(Objects, NumbersInPlaceFollowEverySet) {
  Objects g;
  const Handle ax = g.gca();
  g.axis(ax, row({-1, 2, 3, 4}));
  for (const char* name : {"XLim", "YLim", "NextPlot"}) expect_numbers_as_get(g, ax, name);
  const Handle h = g.line(ax, row({1, 2, 3}), row({4, 5, 6}), "b*");
  g.set(h, "XData", Value(row({7, 8})));
  expect_numbers_as_get(g, h, "XData");
  for (const char* name : {"Type", "Parent", "Children", "Position"})
    EXPECT_THROW(g.numbers(ax, prop(name)), Error) << name;
  EXPECT_THROW(g.numbers(1e9, Prop::xdata), Error);
}

// Thousands of markers, as a sample's drawing has: removing one, clearing all and drawing
// again leave exactly the drawn ones valid, each with its own values.
TEST(Objects, LargeDrawingsClearAndRedrawCleanly) {
  Objects g;
  const Handle fig = g.gcf();
  const Handle ax = g.gca();
  g.hold(ax, true);
  constexpr int kMarkers = 5000;
  std::vector<Handle> first;
  for (int i = 0; i < kMarkers; ++i)
    first.push_back(g.line(ax, row({double(i)}), row({-double(i)}), "bd"));
  g.remove(first[1234]);
  EXPECT_FALSE(g.valid(first[1234]));
  EXPECT_EQ(g.children(ax).size(), size_t(kMarkers - 1));
  EXPECT_EQ(g.get(first[4321], "YData"), Value(-4321.0));
  EXPECT_FALSE(g.valid(first.back() + 1));     // not made yet
  EXPECT_FALSE(g.valid(first.back() - 0.25));  // never a handle
  g.cla(ax);
  for (Handle h : first) EXPECT_FALSE(g.valid(h));
  EXPECT_TRUE(g.children(ax).empty());
  g.hold(ax, true);
  std::vector<Handle> second;
  for (int i = 0; i < kMarkers; ++i)
    second.push_back(g.line(ax, row({double(i)}), row({1.0}), "rs"));
  EXPECT_EQ(g.get(second[2500], "XData"), Value(2500.0));
  EXPECT_EQ(g.get(second[2500], "Marker"), Value("s"));
  EXPECT_EQ(g.children(ax), second);
  EXPECT_EQ(g.listing(fig).size(), size_t(kMarkers + 2));
  g.remove(fig);
  EXPECT_FALSE(g.valid(ax));
  EXPECT_FALSE(g.valid(second.front()));
  EXPECT_FALSE(g.has_current_figure());
}

}  // namespace
}  // namespace tav
