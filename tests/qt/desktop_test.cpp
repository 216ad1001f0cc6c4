// The main window as a desktop user meets it: menus and shortcuts, dropped files, the log
// pane, the plot that answers questions, the iterated run that can be stopped. The real
// engine runs behind the real window (offscreen).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

#include "engine/controls.h"
#include "engine/point_query.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "formats/file_kind.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/parallel.h"
#include "platform/run_control.h"
#include "shell/callback_runner.h"
#include "shell/main_window.h"
#include "shell/qt/desktop_menus.h"
#include "shell/qt/figure_window.h"
#include "shell/qt/qt_backend.h"
#include "support/protocol_kinds.h"
#include "support/test_support.h"

namespace tav {
namespace {
using ::testing::HasSubstr;
namespace fs = std::filesystem;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    backend.describe_point = [this](double x, double y, double rx, double ry) {
      return describe_shown_point(session, x, y, rx, ry);
    };
    backend.highlight_point = [this](double x, double y, double rx, double ry) {
      highlight_shown_point(session, x, y, rx, ry);
    };
    backend.load_action_for = [this](const std::string& path) {
      return load_action_for(path, session.state.sample);
    };
    backend.attach_console();
    install_callback_runner(session);
    backend.drawnow();  // the application reads its (small) offscreen screen first
    gr().set(0, "screensize", Value(row({1, 1, 1920, 1080})));
    fig = open_main_window(rt());
    backend.drawnow();
    window = backend.desktop_window();
    ASSERT_NE(window, nullptr);
    window->activateWindow();
    QApplication::setActiveWindow(window);
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<QMessageBox*>(w)) w->close();
    fs::current_path(fs::temp_directory_path());
  }

  std::string file(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  Handle tagged(const char* tag) { return gr().find_by_tag(tag).at(0); }
  std::string status(const char* tag) { return gr().get(tagged(tag), "String").text(); }
  void check(const char* tag, bool on) { gr().set(tagged(tag), "Value", Value(on ? 1.0 : 0.0)); }
  void click(const char* tag) {
    auto* b = qobject_cast<QAbstractButton*>(backend.widget(tagged(tag)));
    ASSERT_NE(b, nullptr) << tag;
    b->click();
    backend.drawnow();
  }
  // What the window's drop handler receives from a drag of the file onto it.
  void drop(const std::string& path) {
    window->drop_files({QUrl::fromLocalFile(QString::fromStdString(path))});
    backend.drawnow();
  }
  // Shortcuts act in the active window; a message box shown and closed may have taken that.
  void activate() {
    window->activateWindow();
    QApplication::setActiveWindow(window);
  }
  // The open message boxes' texts, oldest first; closes them.
  std::vector<std::string> take_messages() {
    std::vector<std::string> texts;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        texts.push_back(box->text().toStdString());
        box->close();
      }
    return texts;
  }
  void load_example() {
    drop(kExamples + "shells.txt");
    drop(kExamples + "shells_protocol.txt");
  }
  std::string log_text() { return window->log_pane()->toPlainText().toStdString(); }

  ConsoleCapture console;              // also keeps the program's output out of the test report
  Session session;                     // the window's
  QtBackend backend{session.runtime};  // shows the session's figures
  Runtime& rt() { return session.runtime; }
  Objects& gr() { return session.objects(); }
  RunControl& control() { return session.runtime.control; }
  EngineState& engine_state() { return session.state; }
  Handle fig = 0;
  FigureWindow* window = nullptr;
  test::TempDir temp;  // the test's own folder
  const fs::path dir = temp.path();
};

TEST_F(Desktop, EveryMenuEntryForAControlDoesWhatTheControlDoesByMenuAndByShortcut) {
  std::vector<std::pair<Handle, Value>> calls;
  rt().run_callback = [&](Handle source, const Value& cb) { calls.emplace_back(source, cb); };
  for (const MenuEntry& e : desktop_menu_entries()) {
    if (e.kind != MenuKind::control && e.kind != MenuKind::check) continue;
    SCOPED_TRACE(e.name);
    const Handle control = tagged(e.name);
    gr().set(control, "Enable", Value("on"));  // entries offered only after a Load, offered
    backend.drawnow();
    QAction* a = window->action(e.name);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->text().isEmpty());
    std::vector<std::string> ways = {"menu"};
    if (*e.shortcut) ways.push_back("shortcut");
    for (const std::string& way : ways) {
      SCOPED_TRACE(way);
      calls.clear();
      const bool was_on = gr().get(control, "Value").truthy();
      if (way == "menu")
        a->trigger();
      else
        QTest::keySequence(window, QKeySequence(QString::fromUtf8(e.shortcut)));
      backend.drawnow();
      if (e.kind == MenuKind::check) {
        EXPECT_NE(gr().get(control, "Value").truthy(), was_on);
        EXPECT_EQ(a->isChecked(), !was_on);  // the menu shows the box's state
      } else {
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].first, control);
        EXPECT_EQ(calls[0].second, gr().get(control, "Callback"));
      }
    }
  }
  // The standard keys the window promises.
  for (const auto& [key, tag] :
       std::vector<std::pair<const char*, const char*>>{{"Ctrl+O", "LoadButton"},
                                                        {"Ctrl+S", "SaveButton"},
                                                        {"Ctrl+E", "SaveEPSButton"},
                                                        {"F5", "ReplotButton"}}) {
    calls.clear();
    QTest::keySequence(window, QKeySequence(QString::fromUtf8(key)));
    ASSERT_EQ(calls.size(), 1u) << key;
    EXPECT_EQ(calls[0].first, tagged(tag)) << key;
  }
}

TEST_F(Desktop, WindowCommandsByMenuAndByShortcut) {
  for (const bool by_key : {false, true}) {
    SCOPED_TRACE(by_key ? "shortcut" : "menu");
    auto run = [&](const char* name, const char* key) {
      activate();
      if (by_key)
        QTest::keySequence(window, QKeySequence(QString::fromUtf8(key)));
      else
        window->action(name)->trigger();
      backend.drawnow();
    };
    control().clear_stop();
    run("Stop", "Esc");
    EXPECT_TRUE(control().stop_requested());
    run("ShowLog", "Ctrl+L");
    EXPECT_TRUE(window->log_pane()->isVisible());
    run("ShowLog", "Ctrl+L");
    EXPECT_FALSE(window->log_pane()->isVisible());
    gr().axis(gr().gca(), row({5, 6, 5, 6}));
    run("FitDrawing", "Ctrl+0");
    EXPECT_NE(gr().axis(gr().gca()), row({5, 6, 5, 6}));
    run("Guide", "F1");
    EXPECT_THAT(take_messages(), ::testing::Contains(HasSubstr("Load sample (Ctrl+O)")));
  }
  window->action("About")->trigger();
  EXPECT_THAT(take_messages(),
              ::testing::Contains(::testing::ContainsRegex("^tavrel6 [0-9]+\\.[0-9]+")));
  window->action("Pause250")->trigger();
  EXPECT_EQ(control().pass_pause_seconds(), 0.25);
  EXPECT_TRUE(window->action("Pause250")->isChecked());
  EXPECT_FALSE(window->action("Pause1000")->isChecked());
  activate();
  QTest::keySequence(window, QKeySequence(QStringLiteral("Ctrl+Q")));
  backend.drawnow();
  EXPECT_TRUE(gr().figures().empty());
}

TEST_F(Desktop, EveryControlSaysWhatItDoes) {
  for (Handle h : gr().listing(fig)) {
    const Value style = gr().get(h, "Style"), tag = gr().get(h, "Tag");
    if (gr().type(h) != "uicontrol" || !tag.is_text() || tag.text().empty()) continue;
    SCOPED_TRACE(tag.text());
    EXPECT_FALSE(backend.widget(h)->toolTip().isEmpty());
  }
  EXPECT_THAT(backend.widget(tagged("LoadButton"))->toolTip().toStdString(), HasSubstr("x1 y1"));
  EXPECT_THAT(backend.widget(tagged("LoadProtocolButton"))->toolTip().toStdString(),
              HasSubstr("curve code"));
}

TEST_F(Desktop, DroppedFilesAreReadByTheLoadTheirContentAsksFor) {
  drop(kExamples + "shells.txt");
  EXPECT_EQ(status("FileBox"),
            "File: shells.txt as numeric rows \n  40 Specimens \n  32 Landmarks");
  drop(kExamples + "shells_protocol.txt");
  EXPECT_THAT(status("ProtoBox"), HasSubstr("Protocol File: shells_protocol.txt"));
  const Row consensus =
      Eigen::Map<const Row>(engine_state().reference.data(), engine_state().reference.size());
  std::string line;
  for (Index c = 0; c < consensus.size(); ++c) line += std::to_string(consensus(c)) + " ";
  if (consensus.size() % 2 == 0) line += "1";  // the trailing value of a configuration
  drop(file("reference.txt", line + "\n"));
  EXPECT_THAT(status("FileBox"), HasSubstr("40 Specimens"));  // the sample's beside it
  EXPECT_THAT(status("FileBox"), HasSubstr("Reference: reference.txt"));
  EXPECT_TRUE(engine_state().user_reference);
  drop(file(
      "three.tps",
      "LM=3\n0 0\n1 0\n0 1\nID=a\nLM=3\n0 0\n1.1 0\n0 1.2\nID=b\nLM=3\n0 0\n0.9 0.1\n0 1\nID=c\n"));
  EXPECT_EQ(status("FileBox"), "File: three.tps as TPS \n   3 Specimens \n   3 Landmarks");
  EXPECT_EQ(engine_state().loaded.ids, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(take_messages().empty());
  drop(kExamples + "shells.txt");
  drop(file("sliders.csv", "before,slider,after\n4,5,6\n5,6,7\n6,7,8\n7,8,9\n8,9,10\n"));
  EXPECT_THAT(status("ProtoBox"), HasSubstr("Protocol File: sliders.csv"));
  EXPECT_EQ(engine_state().protocol.semilandmarks, 5);
  EXPECT_TRUE(take_messages().empty());
}

TEST_F(Desktop, RefusedFileIsShownInAMessageAndTheLogAndChangesNothing) {
  load_example();
  const std::string loaded = status("FileBox");
  const std::string typo = file("typo.txt", "1 2 3 4 5\n1 2 3 x4 5\n");
  drop(typo);
  const std::vector<std::string> shown = take_messages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_THAT(shown[0], HasSubstr("file " + typo + ", line 2"));
  EXPECT_THAT(log_text(), HasSubstr("file " + typo + ", line 2"));
  EXPECT_EQ(status("FileBox"), loaded);
}

// The log holds what a researcher reads: what was read, which run ran and how it ended, what
// was written; the working values the console prints are behind the pane's switch.
TEST_F(Desktop, LogPaneShowsTheUsersLinesAndTheWorkingValuesBehindItsSwitch) {
  load_example();
  backend.answers.push_back(FileChoice{"saved.txt", dir.string() + "/"});
  click("SaveButton");
  backend.drawnow();
  const std::string log = log_text();
  for (const char* line : {"Read shells.txt as numeric rows: 40 specimens of 32 points",
                           "Read the protocol shells_protocol.txt: 4 landmarks",
                           "one-pass sliding by bending energy", "Wrote the sample", "saved.txt"})
    EXPECT_THAT(log, HasSubstr(line));
  EXPECT_THAT(console.text(), HasSubstr("junk = 0"));  // the console keeps them
  EXPECT_THAT(log, ::testing::Not(HasSubstr("junk = 0")));
  window->working_values_switch()->setChecked(true);
  EXPECT_THAT(log_text(), HasSubstr("junk = 0"));
  window->working_values_switch()->setChecked(false);
  EXPECT_EQ(log_text(), log);
  EXPECT_TRUE(window->log_pane()->isReadOnly());
}

// On a 768-pixel screen the log takes its room inside the window: the window keeps its size,
// the status line and its Stop stay on the screen.
TEST_F(Desktop, ShowingTheLogKeepsTheWindowOnTheScreen) {
  gr().remove(fig);
  backend.drawnow();
  gr().set(0, "screensize", Value(row({1, 1, 1024, 768})));
  fig = open_main_window(rt());
  backend.drawnow();
  window = backend.desktop_window();
  ASSERT_NE(window, nullptr);
  const QSize before = window->size();
  ASSERT_LE(before.height(), 768);
  window->set_log_visible(true);
  backend.drawnow();
  EXPECT_EQ(window->size(), before);
  EXPECT_TRUE(window->log_pane()->isVisible());
  EXPECT_GT(window->log_pane()->height(), 40);
  const QWidget* stop_bar = window->stop_button()->parentWidget();
  EXPECT_LE(stop_bar->mapTo(window, QPoint(0, stop_bar->height())).y(), window->height());
  window->set_log_visible(false);
  backend.drawnow();
  EXPECT_EQ(window->size(), before);
}

TEST_F(Desktop, PointUnderThePointerIsNamedAndAClickHighlightsItsSpecimen) {
  load_example();
  const Matrix& d = engine_state().sample;
  const int specimen = 7, point = 12;  // point 12 lies on the closed outline: a semi-landmark
  const double x = d(specimen - 1, 2 * point - 2), y = d(specimen - 1, 2 * point - 1);
  // Zoom in about the point first, as one does to tell neighbours apart.
  const QPointF before = window->surface_point(x, y);
  window->wheel_turned(before, 3);
  backend.drawnow();
  const QPointF at = window->surface_point(x, y);
  EXPECT_NEAR(at.x(), before.x(), 1e-6);  // the point under the pointer stays there
  EXPECT_NEAR(at.y(), before.y(), 1e-6);
  window->pointer_moved(at, false);
  EXPECT_EQ(window->status_text().toStdString(),
            "point 12, semi-landmark, specimen 7 (line 7 of shells.txt)");
  window->pointer_pressed(at);
  window->pointer_released(at);
  backend.drawnow();
  std::vector<Handle> marks;
  for (Handle c : gr().children(gr().gca()))
    if (gr().get(c, "Tag") == Value("SpecimenHighlight")) marks.push_back(c);
  ASSERT_EQ(marks.size(), 3u);  // the outline, the ridge, the ringed points
  const Matrix ringed = gr().get(marks.back(), "XData").matrix();
  ASSERT_EQ(ringed.size(), 32);
  for (Index p = 0; p < 32; ++p) EXPECT_EQ(ringed(p), d(specimen - 1, 2 * p));
  window->pointer_moved(QPointF(2, 2), false);  // outside the axes: the run's account again
  EXPECT_THAT(window->status_text().toStdString(), ::testing::Not(HasSubstr("point 12")));

  if (const char* picture = std::getenv("TAV_ZOOM_PICTURE")) {
    window->pointer_moved(at, false);
    backend.drawnow();
    EXPECT_TRUE(window->grab().save(picture));
  }
}

TEST_F(Desktop, WheelZoomsDragPansDoubleClickFits) {
  load_example();
  const Handle ax = gr().gca();
  const Row fitted = gr().axis(ax);
  const QPointF centre =
      window->surface_point(0.5 * (fitted(0) + fitted(1)), 0.5 * (fitted(2) + fitted(3)));
  window->wheel_turned(centre, 1);
  const Row zoomed = gr().axis(ax);
  EXPECT_NEAR((zoomed(1) - zoomed(0)) * 1.25, fitted(1) - fitted(0), 1e-9);
  window->pointer_pressed(centre);
  window->pointer_moved(centre + QPointF(50, 0), true);
  window->pointer_released(centre + QPointF(50, 0));
  const Row panned = gr().axis(ax);
  EXPECT_LT(panned(0), zoomed(0));  // dragging right shows what lay to the left
  EXPECT_NEAR(panned(1) - panned(0), zoomed(1) - zoomed(0), 1e-9);
  for (Handle c : gr().children(ax))
    EXPECT_NE(gr().get(c, "Tag"), Value("SpecimenHighlight"));  // a drag is no click
  window->fit_drawing();
  EXPECT_EQ(gr().axis(ax), fitted);
}

// The same as the mouse gives it: the window system's events on the drawing reach the zoom, the
// point under the pointer, the pan and the fit.
TEST_F(Desktop, MouseEventsOnTheDrawingZoomNamePanAndFit) {
  load_example();
  const Handle ax = gr().gca();
  QWidget* drawing = backend.widget(ax);
  ASSERT_NE(drawing, nullptr);
  auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, at, drawing->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(drawing, &e);
  };
  const Row fitted = gr().axis(ax);
  const Matrix& d = engine_state().sample;
  const double x = d(6, 22), y = d(6, 23);  // point 12 of specimen 7
  const QPointF at = window->surface_point(x, y);
  QWheelEvent wheel(at, drawing->mapToGlobal(at), QPoint(), QPoint(0, 3 * 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(drawing, &wheel);
  const Row zoomed = gr().axis(ax);
  EXPECT_NEAR((zoomed(1) - zoomed(0)) * std::pow(1.25, 3), fitted(1) - fitted(0), 1e-9);
  EXPECT_NEAR(window->surface_point(x, y).x(), at.x(), 1e-6);  // about the pointer
  mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(window->status_text().toStdString(),
            "point 12, semi-landmark, specimen 7 (line 7 of shells.txt)");
  mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, at + QPointF(50, 0), Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, at + QPointF(50, 0), Qt::LeftButton, Qt::NoButton);
  const Row panned = gr().axis(ax);
  EXPECT_LT(panned(0), zoomed(0));  // dragging right shows what lay to the left
  EXPECT_NEAR(panned(1) - panned(0), zoomed(1) - zoomed(0), 1e-9);
  mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(gr().axis(ax), fitted);
}

TEST_F(Desktop, ActionsOfTheMainWindowDrawInItsAxesAfterTheComparisonOpens) {
  load_example();
  check("MeanButton", true);
  check("OriginalButton", true);
  click("ReplotButton");
  ASSERT_TRUE(gr().valid(2));
  const Handle main_axes = gr().find_by_tag("MainAxes").at(0);
  EXPECT_GT(gr().children(gr().children(2).at(0)).size(), 0u);
  click("ClearButton");
  EXPECT_TRUE(gr().children(main_axes).empty());
  EXPECT_FALSE(gr().valid(2));  // it showed the consensus that Clear forgot
  drop(kExamples + "shells.txt");
  size_t points = 0;  // the sample's markers alone
  for (Handle c : gr().children(main_axes))
    points += static_cast<size_t>(gr().get(c, "XData").matrix().size());
  EXPECT_EQ(points, 40u * 32u);
}

// 400 specimens: the bundled 40, each ten times with a little noise.
std::string large_sample() {
  std::ifstream in(kExamples + "shells.txt");
  std::vector<std::vector<double>> rows;
  for (std::string line; std::getline(in, line);) {
    std::istringstream s(line);
    std::vector<double> r;
    for (double v; s >> v;) r.push_back(v);
    if (!r.empty()) rows.push_back(r);
  }
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0, 0.5);
  std::ostringstream out;
  for (int copy = 0; copy < 10; ++copy)
    for (const auto& r : rows) {
      for (size_t c = 0; c + 1 < r.size(); ++c) out << r[c] + noise(random) << ' ';
      out << r.back() << '\n';
    }
  return out.str();
}

TEST_F(Desktop, StopEndsAnIteratedRunOf400SpecimensAfterThePassAndKeepsTheEarlierResults) {
  drop(file("large.txt", large_sample()));
  ASSERT_EQ(engine_state().sample.rows(), 400);
  drop(kExamples + "shells_protocol.txt");  // a first run: its results must survive the stop
  const Matrix earlier_sample = engine_state().sample, earlier_reference = engine_state().reference;
  const std::string earlier_counts = status("ProtoBox");
  check("IterBox", true);
  control().set_pass_pause_seconds(0.05);
  std::string progress;
  QTimer watch;  // presses Esc as soon as the status line shows the first pass's devref
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const Value text = gr().get(fig, "StatusText");
    if (!text.is_text() || text.text().find("devref") == std::string::npos) return;
    progress = text.text();
    activate();
    QTest::keyClick(window, Qt::Key_Escape);
    watch.stop();
  });
  watch.start(5);
  const size_t passes_before = console.text().size();
  drop(kExamples + "shells_protocol.txt");
  EXPECT_THAT(progress, HasSubstr("Iterated run: pass 1   devref"));
  const std::vector<std::string> shown = take_messages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_THAT(shown[0], HasSubstr("stopped by the user after pass 1"));
  EXPECT_THAT(shown[0], HasSubstr("the earlier sample and reference are kept"));
  const std::string run = console.text().substr(passes_before);
  EXPECT_THAT(run, HasSubstr("itercount2 = 1\n"));
  EXPECT_THAT(run, ::testing::Not(HasSubstr("itercount2 = 2\n")));  // no second pass began
  EXPECT_EQ(engine_state().sample, earlier_sample);
  EXPECT_EQ(engine_state().reference, earlier_reference);
  EXPECT_EQ(status("ProtoBox"), earlier_counts);
  EXPECT_EQ(gr().get(fig, "StatusText"), Value(""));
  EXPECT_FALSE(window->stop_button()->isVisible());
}

// Hears the session's runs as the window does. At its first tick once the iterated run has
// begun (the status line says so) it queues `act` as an event and has the window serve events at
// the very next tick instead of after its usual interval, so that `act` runs there, within the
// run's first pass unless the window serves no events there; the usual interval is back as soon
// as `act` runs. Counts the passes measured. The runs work on one thread meanwhile, so that the
// next tick comes from the next specimen, not from a thread that another has left without work.
class WithinTheRun : public RunObserver {
 public:
  WithinTheRun(Session& session, QtBackend& backend, Handle fig, std::function<void()> act)
      : session_(session),
        backend_(backend),
        usual_interval_ms_(backend.serve_every_ms),
        fig_(fig),
        act_(std::move(act)) {
    session.observers.push_back(this);
    set_thread_count(1);
  }
  ~WithinTheRun() override {
    backend_.serve_every_ms = usual_interval_ms_;
    set_thread_count(0);
    std::erase(session_.observers, this);
  }
  void tick() override {
    const Value status = session_.objects().get(fig_, "StatusText");
    if (queued_ || !status.is_text() || status.text().rfind("Iterated run", 0) != 0) return;
    queued_ = true;
    QTimer::singleShot(0, [this] {
      backend_.serve_every_ms = usual_interval_ms_;
      passes_at_act = passes;
      act_();
    });
    backend_.serve_every_ms = 0;
  }
  void pass_measured(double, int) override { ++passes; }
  int passes = 0, passes_at_act = -1;  // -1: `act` never ran during the run

 private:
  Session& session_;
  QtBackend& backend_;
  const int usual_interval_ms_;
  Handle fig_;
  std::function<void()> act_;
  bool queued_ = false;
};

TEST_F(Desktop, EscWithinTheFirstPassIsServedThereAndEndsTheRunAfterThatPass) {
  drop(file("large.txt", large_sample()));
  drop(kExamples + "shells_protocol.txt");  // a first run: its results must survive the stop
  const Matrix earlier_sample = engine_state().sample, earlier_reference = engine_state().reference;
  check("IterBox", true);
  control().set_pass_pause_seconds(0);
  bool stop_shown = false;
  WithinTheRun esc(session, backend, fig, [&] {
    stop_shown = window->stop_button()->isVisible();
    activate();
    QTest::keyClick(window, Qt::Key_Escape);
  });
  const size_t before = console.text().size();
  drop(kExamples + "shells_protocol.txt");
  EXPECT_EQ(esc.passes_at_act, 0);  // served before the first pass was measured
  EXPECT_TRUE(stop_shown);          // the status line and its Stop show from the start
  EXPECT_THAT(take_messages(),
              ::testing::ElementsAre(HasSubstr("stopped by the user after pass 1")));
  EXPECT_THAT(console.text().substr(before), ::testing::Not(HasSubstr("itercount2 = 2\n")));
  EXPECT_EQ(engine_state().sample, earlier_sample);
  EXPECT_EQ(engine_state().reference, earlier_reference);
}

TEST_F(Desktop, ActionsAskedForDuringARunAreRefusedAndTheRunEndsAsItDoesHeadless) {
  drop(kExamples + "shells.txt");
  check("IterBox", true);
  control().set_pass_pause_seconds(0);
  const std::string saved = (dir / "saved.txt").string(), other = kExamples + "shells.txt";
  const Matrix loaded = engine_state().loaded.rows;
  const std::string file_status = status("FileBox");
  std::vector<std::string> notes;
  bool unchanged = false;
  WithinTheRun asker(session, backend, fig, [&] {
    backend.answers.push_back(FileChoice{"saved.txt", dir.string() + "/"});
    auto press = [&](const char* tag) {
      qobject_cast<QAbstractButton*>(backend.widget(tagged(tag)))->click();
      notes.push_back(window->notice_text().toStdString());
    };
    press("SaveButton");
    press("CurveButton");  // a check box
    window->drop_files({QUrl::fromLocalFile(QString::fromStdString(other))});
    notes.push_back(window->notice_text().toStdString());
    // A callback that reaches the program past the window, by name.
    rt().run_callback(tagged("ClearButton"), gr().get(tagged("ClearButton"), "Callback"));
    notes.push_back(window->notice_text().toStdString());
    unchanged = engine_state().loaded.rows == loaded && engine_state().sample == loaded &&
                status("FileBox") == file_status &&
                gr().get(tagged("CurveButton"), "Value") == Value(0.0) &&
                !qobject_cast<QAbstractButton*>(backend.widget(tagged("CurveButton")))->isChecked();
  });
  drop(kExamples + "shells_protocol.txt");
  ASSERT_EQ(asker.passes_at_act, 0);
  EXPECT_TRUE(unchanged);
  EXPECT_THAT(notes, ::testing::ElementsAre(HasSubstr("\"All points\" was not done"),
                                            HasSubstr("\"Draw curves\" was not done"),
                                            HasSubstr("\"Open shells.txt\" was not done"),
                                            HasSubstr("\"Clear\" was not done")));
  for (const std::string& note : notes)
    EXPECT_THAT(note, HasSubstr("is still running; nothing changed"));
  EXPECT_FALSE(fs::exists(saved));
  backend.answers.clear();

  // The same run without a window: the same numbers to the last bit.
  ScriptedBackend quiet_ui;
  Session quiet(&quiet_ui);
  make_headless_window(quiet.objects());
  quiet.objects().set(quiet.objects().find_by_tag("IterBox").at(0), "Value", Value(1.0));
  for (const auto& [action, path] : {std::pair{"Load", kExamples + "shells.txt"},
                                     {"LoadProtocol", kExamples + "shells_protocol.txt"}}) {
    quiet_ui.choose(path);
    run_action(quiet, action);
  }
  EXPECT_TRUE(engine_state().sample == quiet.state.sample);
  EXPECT_TRUE(engine_state().reference == quiet.state.reference);
}

TEST_F(Desktop, ClosingTheWindowDuringARunEndsTheRunAfterItsPassAndThenCloses) {
  drop(file("large.txt", large_sample()));
  drop(kExamples + "shells_protocol.txt");
  const Matrix earlier_sample = engine_state().sample;
  check("IterBox", true);
  control().set_pass_pause_seconds(0);
  bool open_after_close = false;
  WithinTheRun closer(session, backend, fig, [&] {
    window->close();
    open_after_close = gr().valid(fig) && backend.window(fig) != nullptr;
  });
  const size_t before = console.text().size();
  drop(kExamples + "shells_protocol.txt");  // returns when the run has ended
  EXPECT_EQ(closer.passes_at_act, 0);
  EXPECT_TRUE(open_after_close);  // the close waited for the run
  EXPECT_FALSE(gr().valid(fig));
  EXPECT_THAT(console.text().substr(before), HasSubstr("stopped by the user after pass 1"));
  EXPECT_EQ(engine_state().sample, earlier_sample);
  backend.drawnow();
  EXPECT_EQ(backend.desktop_window(), nullptr);
}

TEST_F(Desktop, SettingsRecentFilesAndCheckBoxesOutliveTheWindow) {
  backend.remember = true;
  backend.settings_file = QString::fromStdString((dir / "settings.ini").string());
  drop(kExamples + "shells.txt");
  check("CurveButton", true);
  window->action("Pause0")->trigger();
  window->resize(1000, 700);
  backend.drawnow();
  window->close();
  backend.drawnow();
  ASSERT_TRUE(gr().figures().empty());

  control().set_pass_pause_seconds(1);
  fig = open_main_window(rt());
  backend.drawnow();
  window = backend.desktop_window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(gr().get(tagged("CurveButton"), "Value").truthy());
  EXPECT_EQ(control().pass_pause_seconds(), 0);
  EXPECT_EQ(window->size(), QSize(1000, 700));
  ASSERT_FALSE(window->recent_menu()->actions().isEmpty());
  EXPECT_THAT(window->recent_menu()->actions().front()->text().toStdString(),
              HasSubstr("shells.txt"));
}

TEST_F(Desktop, SmallScreenGetsAWindowThatFitsWithTheAxesInViewAndAScrollingControlPanel) {
  gr().remove(fig);  // the window opens anew on a small screen, at its default 1200×840
  backend.drawnow();
  gr().set(0, "screensize", Value(row({1, 1, 800, 560})));
  fig = open_main_window(rt());
  backend.drawnow();
  window = backend.desktop_window();
  ASSERT_NE(window, nullptr);
  EXPECT_LE(window->width(), 800);
  EXPECT_LE(window->height(), 560);
  // The axes shrink into the window: nothing of them lies below or right of what is shown.
  EXPECT_LE(window->surface()->height(), window->height());
  const Row axes = gr().pixel_position(tagged("MainAxes"));
  EXPECT_GE(axes(1), 0);
  EXPECT_LE(axes(1) + axes(3), window->surface()->height());
  EXPECT_LE(axes(0) + axes(2), window->surface()->width());
  // The control panel alone scrolls, and scrolling it brings the lowest control into view.
  QScrollArea* panel = window->control_panel();
  ASSERT_GT(panel->verticalScrollBar()->maximum(), 0);
  QWidget* lowest = backend.widget(tagged("SaveEPSButton"));
  EXPECT_GT(lowest->mapTo(panel->viewport(), QPoint(0, 0)).y(), panel->viewport()->height());
  panel->ensureWidgetVisible(lowest);
  const QPoint top = lowest->mapTo(panel->viewport(), QPoint(0, 0));
  EXPECT_GE(top.y(), 0);
  EXPECT_LE(top.y() + lowest->height(), panel->viewport()->height());
  EXPECT_EQ(gr().pixel_position(tagged("MainAxes")), axes);  // the axes did not move with it
}

// The View menu holds every view check box of the panel, the legend's too; the recent files
// list only files that were read, not one that was refused.
TEST_F(Desktop, LegendIsInTheViewMenuAndOnlyLoadedFilesAreRecent) {
  QAction* legend = window->action(QStringLiteral("LegendButton"));
  ASSERT_NE(legend, nullptr);
  EXPECT_TRUE(legend->isChecked());
  legend->trigger();
  backend.drawnow();
  EXPECT_FALSE(gr().get(tagged("LegendButton"), "Value").truthy());

  backend.remember = true;
  backend.settings_file = QString::fromStdString((dir / "settings.ini").string());
  drop(file("refused.txt", "1 2 x 4 5\n"));
  take_messages();
  drop(kExamples + "shells.txt");
  std::vector<std::string> recent;
  for (QAction* a : window->recent_menu()->actions()) recent.push_back(a->text().toStdString());
  EXPECT_THAT(recent, ::testing::Contains(HasSubstr("shells.txt")));
  EXPECT_THAT(recent, ::testing::Not(::testing::Contains(HasSubstr("refused.txt"))));
}

// One message box at a time, modal to the window: a second message joins the open box, and the
// next action closes it (it told of the state before).
TEST_F(Desktop, OneModalMessageBoxAtATimeClosedByTheNextAction) {
  auto open_boxes = [] {
    std::vector<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) boxes.push_back(box);
    return boxes;
  };
  click("SaveButton");  // nothing to save yet
  auto boxes = open_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0]->isModal());
  EXPECT_THAT(boxes[0]->text().toStdString(), HasSubstr("no sample is loaded"));
  click("SaveReferenceButton");  // the stale box closes, this action's own opens
  boxes = open_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_THAT(boxes[0]->text().toStdString(), HasSubstr("no consensus or reference yet"));
  backend.message("a second message of the same action");
  boxes = open_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_THAT(boxes[0]->text().toStdString(), HasSubstr("no consensus or reference yet"));
  EXPECT_THAT(boxes[0]->text().toStdString(), HasSubstr("a second message of the same action"));
  drop(kExamples + "shells.txt");
  backend.drawnow();
  EXPECT_TRUE(open_boxes().empty());
}

// Between runs the status line says how the last run ended and what the last save wrote.
TEST_F(Desktop, StatusLineSaysHowTheRunEndedAndWhatWasWritten) {
  load_example();
  EXPECT_THAT(window->status_text().toStdString(), HasSubstr("one-pass sliding by bending energy"));
  EXPECT_FALSE(window->stop_button()->isVisible());
  backend.answers.push_back(FileChoice{"saved.txt", dir.string() + "/"});
  click("SaveButton");
  EXPECT_THAT(window->status_text().toStdString(), HasSubstr("saved.txt"));
}

// The comparison window is painted as soon as it opens, and opens beside the main window, not
// over its control panel.
TEST_F(Desktop, ComparisonWindowPaintsWhenItOpensBesideTheMainWindow) {
  load_example();
  check("MeanButton", true);
  check("OriginalButton", true);
  click("ReplotButton");
  ASSERT_TRUE(gr().valid(2));
  QWidget* comparison = backend.window(2);
  ASSERT_NE(comparison, nullptr);
  ASSERT_TRUE(comparison->isVisible());
  const QImage picture = comparison->grab().toImage();
  int coloured = 0;  // the consensus's and the plain consensus's markers
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QColor c = picture.pixelColor(x, y);
      coloured += std::abs(c.red() - c.green()) > 60 || std::abs(c.green() - c.blue()) > 60;
    }
  EXPECT_GT(coloured, 50);
  const QRect panel(window->control_panel()->mapToGlobal(QPoint(0, 0)),
                    window->control_panel()->size());
  EXPECT_FALSE(comparison->frameGeometry().intersects(panel))
      << comparison->frameGeometry().x() << "," << comparison->frameGeometry().y() << " "
      << comparison->width() << "x" << comparison->height() << " panel " << panel.x() << ","
      << panel.y() << " " << panel.width() << "x" << panel.height() << " main "
      << window->frameGeometry().x() << " pos " << gr().get(2, "Position").matrix();
}

// Analysis > Shape space is offered once a sample is loaded; it opens the shape space in a
// window of its own, a point per specimen among its scores, and Clear closes it with the sample.
TEST_F(Desktop, ShapeSpaceWindowOpensAfterALoadAndClosesWithClear) {
  QAction* entry = window->action(QStringLiteral("ShapeSpaceButton"));
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(entry->isEnabled());
  drop(kExamples + "shells.txt");
  EXPECT_TRUE(entry->isEnabled());
  entry->trigger();
  backend.drawnow();
  ASSERT_TRUE(gr().valid(3));
  QWidget* shape_space = backend.window(3);
  ASSERT_NE(shape_space, nullptr);
  EXPECT_TRUE(shape_space->isVisible());
  EXPECT_EQ(shape_space->windowTitle().toStdString(), "tavrel6: shape space");
  Index scores = 0;
  for (Handle c : gr().children(gr().children(3).at(0)))
    if (gr().type(c) == "line") scores += gr().get(c, "XData").matrix().size();
  EXPECT_EQ(scores, engine_state().loaded.specimens());
  click("ClearButton");
  EXPECT_FALSE(gr().valid(3));
  EXPECT_FALSE(entry->isEnabled());
}

// After "Compare with plain consensus" opens its window, the point numbers of the same Replot
// go to the main plot; the comparison window's title names the colours its points are painted in.
TEST_F(Desktop, ComparisonReplotNumbersTheMainPlotAndNamesItsColours) {
  load_example();
  check("MeanButton", true);
  check("OriginalButton", true);
  check("NumberButton", true);
  click("ReplotButton");
  ASSERT_TRUE(gr().valid(2));
  auto texts = [this](Handle axes) {
    size_t n = 0;
    for (Handle c : gr().children(axes)) n += gr().type(c) == "text";
    return n;
  };
  EXPECT_EQ(texts(tagged("MainAxes")), 32u);
  EXPECT_EQ(texts(gr().children(2).at(0)), 0u);
  const std::string title = gr().get(2, "Name").text();
  EXPECT_THAT(title,
              HasSubstr("consensus (orange stars) and plain consensus (bluish green circles)"));
  EXPECT_THAT(title, ::testing::Not(HasSubstr("red")));
}

// Helper points are named under the pointer wherever the drawing marks them (after the run and
// after a Replot that shows them), and not where "Hide helper points" leaves them out.
TEST_F(Desktop, HelperPointsAreNamedUnderThePointerOnlyWhereDrawn) {
  load_example();
  const Row types = test::kinds_row(engine_state().protocol);
  int helper = 0;
  for (Index p = 0; p < types.size() && !helper; ++p)
    if (types(p) == 2) helper = static_cast<int>(p + 1);
  ASSERT_GT(helper, 0);
  const Matrix& d = engine_state().sample;
  auto named_at_helper = [&] {
    window->pointer_moved(window->surface_point(d(0, 2 * helper - 2), d(0, 2 * helper - 1)), false);
    return window->status_text().toStdString();
  };
  const std::string named = "point " + std::to_string(helper) + ", helper";
  EXPECT_THAT(named_at_helper(), HasSubstr(named));  // the run's own drawing marks helpers
  check("TavrelButton", false);
  click("ReplotButton");
  EXPECT_THAT(named_at_helper(), HasSubstr(named));
  check("TavrelButton", true);
  click("ReplotButton");
  EXPECT_THAT(named_at_helper(), ::testing::Not(HasSubstr("helper")));
}

}  // namespace
}  // namespace tav
