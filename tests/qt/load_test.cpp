// The real window, the real engine: clicking "Load" reads the chosen file and draws it.
#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>
#include <cstdlib>
#include <gtest/gtest.h>

#include "engine/session.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "shell/callback_runner.h"
#include "shell/main_window.h"
#include "shell/qt/qt_backend.h"

namespace tav {
namespace {

TEST(MainWindow, ClickingLoadReadsTheChosenSampleAndDrawsIt) {
  Session session;
  QtBackend backend(session.runtime);
  EngineState& state = session.state;
  install_callback_runner(session);
  ConsoleCapture console;
  backend.drawnow();
  session.objects().set(0, "screensize", Value(row({1, 1, 1920, 1080})));
  const Handle fig = open_main_window(session.runtime);
  backend.drawnow();
  Handle load = -1;
  for (Handle h : session.objects().listing(fig))
    if (session.objects().get(h, "Callback") == Value(List{"zidudezu", "Load"})) load = h;
  ASSERT_GT(load, 0);
  backend.answers.push_back(FileChoice{"shells.txt", std::string(TAV_SOURCE_DIR) + "/examples/"});
  auto* button = qobject_cast<QAbstractButton*>(backend.widget(load));
  ASSERT_NE(button, nullptr);
  button->click();
  backend.drawnow();

  EXPECT_EQ(state.sample.rows(), 40);
  size_t stars = 0;
  for (Handle c : session.objects().children(session.objects().gca()))
    if (session.objects().type(c) == "line" && session.objects().get(c, "Marker") == Value("*"))
      stars += static_cast<size_t>(session.objects().get(c, "XData").matrix().size());
  EXPECT_EQ(stars, 40u * 32u);
  auto* status =
      qobject_cast<QLabel*>(backend.widget(session.objects().find_by_tag("FileBox").at(0)));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text().toStdString(),
            "File: shells.txt as numeric rows \n  40 Specimens \n  32 Landmarks");

  // The picture of the window in the README: the sample with its protocol and curves.
  if (const char* picture = std::getenv("TAV_WINDOW_PICTURE")) {
    for (const char* tag : {"CurveButton", "IterBox"})
      session.objects().set(session.objects().find_by_tag(tag).at(0), "Value", Value(1.0));
    for (Handle h : session.objects().listing(fig)) {
      if (session.objects().get(h, "Callback") == Value(List{"zidudezu", "LoadProtocol"})) {
        backend.answers.push_back(
            FileChoice{"shells_protocol.txt", std::string(TAV_SOURCE_DIR) + "/examples/"});
        backend.drawnow();
        qobject_cast<QAbstractButton*>(backend.widget(h))->click();
      }
    }
    backend.drawnow();
    size_t dotted = 0;
    for (Handle c : session.objects().children(session.objects().gca()))
      if (session.objects().type(c) == "line" &&
          session.objects().get(c, "LineStyle") == Value(":"))
        ++dotted;
    EXPECT_EQ(dotted, 2u);  // the closed outline and the open ridge
    EXPECT_TRUE(backend.window(fig)->grab().save(picture));
  }
}

}  // namespace
}  // namespace tav
