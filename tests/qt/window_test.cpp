#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

#include "platform/backend.h"
#include "shell/framework.h"
#include "shell/main_window.h"
#include "shell/qt/figure_window.h"
#include "shell/qt/qt_backend.h"

namespace tav {
namespace {

// One application object for the whole test program (offscreen platform, set by CTest).
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "window_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const char* const kEngineTags[] = {"FileBox",       "ProtoBox",      "IterBox",      "DistanceBox",
                                   "NoAlignButton", "CurveButton",   "NumberButton", "TavrelButton",
                                   "MeanButton",    "OriginalButton"};

// What a recorder saw: the callback and the control that was running when it started.
struct Call {
  Value callback;
  Handle source, running;
};

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    backend.drawnow();  // the application reads its (small) offscreen screen first
    gr().set(0, "screensize", Value(row({1, 1, 1920, 1080})));
    fig = open_main_window(rt());
    backend.drawnow();
    rt().run_callback = [this](Handle source, const Value& cb) {
      calls.push_back({cb, source, rt().callback_object});
      if (during_call) during_call(cb);
      calls.push_back({Value("done"), source, rt().callback_object});
    };
  }

  Handle control_calling(const List& callback) {
    for (Handle h : gr().listing(fig))
      if (gr().get(h, "Callback") == Value(callback)) return h;
    ADD_FAILURE() << "no control calls " << callback.front().text();
    return 0;
  }
  QAbstractButton* button(Handle h) {
    auto* b = qobject_cast<QAbstractButton*>(backend.widget(h));
    EXPECT_NE(b, nullptr);
    return b;
  }
  Handle tagged(const char* tag) { return gr().find_by_tag(tag).at(0); }

  Runtime runtime;             // the test's own graphics objects
  QtBackend backend{runtime};  // shows them
  Runtime& rt() { return runtime; }
  Objects& gr() { return runtime.objects; }
  Handle fig = 0;
  std::vector<Call> calls;
  std::function<void(const Value&)> during_call;
};

TEST_F(Window, ShowsEveryTaggedControlExactlyOnce) {
  ASSERT_NE(backend.window(fig), nullptr);
  EXPECT_TRUE(backend.window(fig)->isVisible());
  const Value handles = guihandles(gr(), fig);
  for (const Field& f : handles.fields()) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(gr().find_by_tag(f.name).size(), 1u);
    QWidget* w = backend.widget(f.value.scalar());
    ASSERT_NE(w, nullptr);
    // A control that only stands behind a menu entry (Analysis > Shape space) is not shown.
    EXPECT_EQ(w->isVisible(), gr().get(f.value.scalar(), "Visible") != Value("off"));
  }
  for (const char* tag : kEngineTags) EXPECT_NE(find_field(handles.fields(), tag), nullptr) << tag;
}

TEST_F(Window, ClickingLoadRunsItsCallbackWithTheControlRunning) {
  const Handle load = control_calling({"zidudezu", "Load"});
  button(load)->click();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].callback, Value(List{"zidudezu", "Load"}));
  EXPECT_EQ(calls[0].source, load);
  EXPECT_EQ(calls[0].running, load);
  EXPECT_EQ(rt().callback_object, -1);
}

TEST_F(Window, CheckboxClicksSetItsValue) {
  const Handle iterate = tagged("IterBox");
  QAbstractButton* box = button(iterate);
  EXPECT_EQ(box->text(), "Iterate (bending energy)");
  box->click();
  EXPECT_EQ(gr().get(iterate, "Value"), Value(1.0));
  box->click();
  EXPECT_EQ(gr().get(iterate, "Value"), Value(0.0));
  gr().set(iterate, "Value", Value(1.0));
  backend.drawnow();
  EXPECT_TRUE(box->isChecked());
}

TEST_F(Window, ClicksDuringAnActionAreRefusedWithANoteAndChangeNothing) {
  const Handle load = control_calling({"zidudezu", "Load"});
  const Handle clear = control_calling({"zidudezu", "Clear"});
  const Handle iterate = tagged("IterBox");
  ASSERT_NE(backend.desktop_window(), nullptr);
  std::string note;
  during_call = [&](const Value& cb) {
    if (cb != Value(List{"zidudezu", "Load"})) return;
    button(clear)->click();  // the user clicks while "Load" runs
    note = backend.desktop_window()->notice_text().toStdString();
    button(iterate)->click();
  };
  button(load)->click();
  ASSERT_EQ(calls.size(), 2u);  // "Load" alone ran
  EXPECT_EQ(calls[0].source, load);
  EXPECT_THAT(note, ::testing::HasSubstr(
                        "\"Clear\" was not done, because \"Load sample\" is still running"));
  EXPECT_EQ(gr().get(iterate, "Value"), Value(0.0));
  EXPECT_FALSE(button(iterate)->isChecked());
  // Once it has ended, the same clicks act.
  during_call = nullptr;
  button(clear)->click();
  button(iterate)->click();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[2].source, clear);
  EXPECT_EQ(gr().get(iterate, "Value"), Value(1.0));
}

TEST_F(Window, StatusTextsFollowTheModel) {
  const std::string status = "File: wings.txt \n  12 Specimens \n  20 Landmarks";
  gr().set(tagged("FileBox"), "String", Value(status));
  backend.drawnow();
  auto* label = qobject_cast<QLabel*>(backend.widget(tagged("FileBox")));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text().toStdString(), status);
}

TEST_F(Window, DrawnPointsAppearInTheAxes) {
  const Handle axes = gr().gca();
  gr().hold(axes, true);
  gr().line(axes, row({0, 1, 0.5}), row({0, 0, 1}), "bs");
  gr().set(gr().children(axes).back(), "MarkerSize", Value(12.0));
  gr().axis(axes, row({-1, 2, -1, 2}));
  backend.drawnow();
  const QImage shot = backend.window(fig)->grab().toImage();

  const Row p = gr().pixel_position(axes);
  int blue = 0;
  for (int y = static_cast<int>(shot.height() - p(1) - p(3)); y < shot.height() - p(1); ++y)
    for (int x = static_cast<int>(p(0)); x < p(0) + p(2); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (c.blue() > c.red() + 60 && c.blue() > c.green() + 20)
        ++blue;  // the palette's blue, (0, 114, 178)
    }
  EXPECT_GT(blue, 30);
}

TEST_F(Window, ResizeKeepsControlsAtTheTopAndGivesTheAxesTheRoom) {
  QWidget* window = backend.window(fig);
  // The offscreen screen is smaller than the window, which then fits it and scrolls: give it
  // the room its content needs first.
  window->resize(window->width(), window->height() + 150);
  backend.drawnow();
  QWidget* status = backend.widget(tagged("FileBox"));
  const Handle axes = gr().gca();
  const QRect before = status->geometry();
  const Row axes_before = gr().pixel_position(axes);
  window->resize(window->width() + 100, window->height() + 50);
  backend.drawnow();
  EXPECT_EQ(status->geometry(), before);
  const Row axes_after = gr().pixel_position(axes);
  EXPECT_NEAR(axes_after(2) - axes_before(2), 100, 1e-6);
  EXPECT_NEAR(axes_after(3) - axes_before(3), 50, 1e-6);
  EXPECT_NEAR(gr().pixel_position(fig)(2), window->width(), 1e-6);
}

TEST_F(Window, NewFiguresGetWindowsAndClosingOneRemovesItsFigure) {
  const Handle second = gr().figure(2);
  backend.drawnow();
  ASSERT_NE(backend.window(second), nullptr);
  backend.window(second)->close();
  EXPECT_FALSE(gr().valid(second));
  backend.window(fig)->close();
  EXPECT_TRUE(gr().figures().empty());
  EXPECT_EQ(backend.event_loop(), 0);  // nothing left open: returns at once
  EXPECT_EQ(backend.window(fig), nullptr);
}

TEST_F(Window, WatchPointerShowsAsAWaitCursor) {
  gr().set(fig, "Pointer", Value("watch"));
  backend.drawnow();
  EXPECT_EQ(backend.window(fig)->cursor().shape(), Qt::WaitCursor);
  gr().set(fig, "Pointer", Value("arrow"));
  backend.drawnow();
  EXPECT_EQ(backend.window(fig)->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace tav
