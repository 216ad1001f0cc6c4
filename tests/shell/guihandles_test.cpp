#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {
namespace {

class Framework : public ::testing::Test {
 protected:
  void SetUp() override { runtime.backend = &backend; }
  Handle control(Handle fig, const std::string& tag) {
    const Handle h = gr().create("uicontrol", fig);
    gr().set(h, "Tag", Value(tag));
    return h;
  }
  ScriptedBackend backend;
  Runtime runtime;  // the test's own graphics objects, served by `backend`
  Runtime& rt() { return runtime; }
  Objects& gr() { return runtime.objects; }
};

struct TagCase {
  const char* name;
  std::string tag;
  bool becomes_field;
};

class GuihandlesTag : public Framework, public ::testing::WithParamInterface<TagCase> {};

TEST_P(GuihandlesTag, OnlyValidNamesBecomeFields) {
  const Handle fig = gr().create("figure", 0);
  control(fig, "Anchor");  // keeps the result a structure in every case
  const Handle h = control(fig, GetParam().tag);
  const Value handles = guihandles(gr(), fig);
  const Value* field = find_field(handles.fields(), GetParam().tag);
  if (GetParam().becomes_field) {
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(*field, Value(row({h})));
  } else {
    EXPECT_EQ(field, nullptr);
    EXPECT_EQ(handles.fields().size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tags, GuihandlesTag,
    ::testing::Values(TagCase{"FileBox", "FileBox", true}, TagCase{"IterBox", "IterBox", true},
                      TagCase{"edit2", "edit2", true}, TagCase{"empty", "", false},
                      TagCase{"leading_digit", "2Box", false},
                      TagCase{"leading_underscore", "_Box", false},
                      TagCase{"blank_inside", "File Box", false},
                      TagCase{"keyword_end", "end", false}, TagCase{"capital_End", "End", true},
                      TagCase{"length_31", std::string(31, 'a'), true},
                      TagCase{"length_32", std::string(32, 'a'), false}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(Framework, SharedTagHoldsEveryHandleInListingOrder) {
  const Handle fig = gr().create("figure", 0);
  gr().set(fig, "Tag", Value("FileBox"));
  const Handle panel = gr().create("uipanel", fig);
  const Handle inner = control(panel, "FileBox");
  const Handle outer = control(fig, "FileBox");
  const Value handles = guihandles(gr(), fig);
  ASSERT_EQ(handles.fields().size(), 1u);
  EXPECT_EQ(handles.fields()[0].value, Value(row({fig, inner, outer})));
}

TEST_F(Framework, WindowWithoutValidTagsGivesTheEmptyMatrix) {
  const Handle fig = gr().create("figure", 0);
  control(fig, "end");
  gr().create("axes", fig);
  const Value handles = guihandles(gr(), fig);
  EXPECT_TRUE(handles.is_matrix() && handles.empty());
}

TEST_F(Framework, GuihandlesWithoutArgumentUsesTheCurrentFigure) {
  const Handle first = gr().create("figure", 0);
  control(first, "FirstBox");
  const Handle second = gr().create("figure", 0);
  control(second, "SecondBox");
  gr().set_current_figure(first);
  EXPECT_NE(find_field(guihandles(gr()).fields(), "FirstBox"), nullptr);
}

TEST_F(Framework, GuidataThroughAControlReachesTheWindowsValue) {
  const Handle fig = gr().create("figure", 0);
  const Handle text = control(fig, "FileBox");
  EXPECT_TRUE(guidata(gr(), text).empty());
  guidata(gr(), fig, guihandles(gr(), fig));
  EXPECT_EQ(guidata(gr(), text), guihandles(gr(), fig));
  guidata(gr(), text, Value("replaced"));
  EXPECT_EQ(guidata(gr(), fig), Value("replaced"));
  EXPECT_EQ(gr().appdata(fig, "UsedByGUIData_m"), Value("replaced"));
}

TEST_F(Framework, RootAndDeletedHandlesAreNotWindows) {
  const Handle fig = gr().create("figure", 0);
  const Handle deleted = control(fig, "Gone");
  gr().remove(deleted);
  const char* message = "H must be the handle to a figure or figure descendent.";
  for (Handle h : {Handle(0), deleted, Handle(12345)}) {
    SCOPED_TRACE(h);
    try {
      guihandles(gr(), h);
      ADD_FAILURE() << "guihandles accepted it";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_THROW(guidata(gr(), h), Error);
    EXPECT_THROW(guidata(gr(), h, Value(1.0)), Error);
  }
  EXPECT_TRUE(gr().appdata(fig, "UsedByGUIData_m").empty());
}

TEST_F(Framework, ParentFigureWalkEndsAtTheFigureOrNowhere) {
  const Handle fig = gr().create("figure", 0);
  const Handle ax = gr().create("axes", fig);
  const Handle line = gr().line(ax, row({1}), row({2}), "b*");
  EXPECT_EQ(parent_figure(gr(), Value(line)), Value(fig));
  EXPECT_EQ(parent_figure(gr(), Value(fig)), Value(fig));
  EXPECT_TRUE(parent_figure(gr(), Value(0.0)).empty());
  EXPECT_TRUE(parent_figure(gr(), Value()).empty());
}

struct NameCase {
  const char* name;
  Value s;
  bool valid;
};

class Isvarname : public ::testing::TestWithParam<NameCase> {};

TEST_P(Isvarname, DecidesWhichTextsAreNames) {
  EXPECT_EQ(isvarname(GetParam().s), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Names, Isvarname,
                         ::testing::Values(NameCase{"keyword_if", Value("if"), false},
                                           NameCase{"capital_If", Value("If"), true},
                                           NameCase{"letters_digits_underscore", Value("x_1Y"),
                                                    true},
                                           NameCase{"empty_text", Value(""), false},
                                           NameCase{"number", Value(3.0), false},
                                           NameCase{"two_lines", Value("a\nb"), false},
                                           NameCase{"hyphen", Value("a-b"), false},
                                           NameCase{"non_ascii", Value("caf\xc3\xa9"), false}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Iskeyword, ListsTheSeventeenKeywordsInOrderAndMatchesWholeWords) {
  const List expected = {"break",      "case",   "catch",    "continue", "else", "elseif",
                         "end",        "for",    "function", "global",   "if",   "otherwise",
                         "persistent", "return", "switch",   "try",      "while"};
  EXPECT_EQ(iskeyword(), expected);
  for (const Value& k : expected) EXPECT_TRUE(iskeyword(k.text())) << k.text();
  for (const char* s : {"End", "ends", "", "whil"}) EXPECT_FALSE(iskeyword(s)) << s;
}

TEST_F(Framework, ClaEmptiesTheCurrentAxesAndKeepsThem) {
  const Handle ax = gr().gca();
  gr().hold(ax, true);
  gr().line(ax, row({1, 2}), row({3, 4}), "ko");
  gr().text(ax, 1, 3, "1");
  EXPECT_EQ(cla(gr()), ax);
  EXPECT_TRUE(gr().valid(ax));
  EXPECT_TRUE(gr().children(ax).empty());
}

}  // namespace
}  // namespace tav
