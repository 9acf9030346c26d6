// The log window: output appended as it comes, cleared at the next game, hidden (not lost) by
// its close button.
#include "dialogs/log_wnd.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QWidget>
#include <thread>

#include "dialogs/window_messages.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"

namespace kv {
namespace {

using namespace ui;

class LogWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
    ASSERT_TRUE(log_.CreateHidden());
    log_.ShowWindow(true);
    ASSERT_TRUE(test::PumpUntil([this] { return log_.GetHWND()->isVisible(); }));
    test::Pump(20);
  }
  CLogWnd log_;
};

TEST_F(LogWindow, ChunksFromAnotherThreadAreAppendedInOrderAndClearEmptiesIt) {
  std::thread worker([this] {
    CLogWnd::PostAppend(log_, "第一行\nsecond li");
    CLogWnd::PostAppend(log_, "ne\n");
    for (int i = 0; i < 100; ++i) CLogWnd::PostAppend(log_, std::to_string(i) + ",");
  });
  worker.join();
  std::string expected = "第一行\nsecond line\n";
  for (int i = 0; i < 100; ++i) expected += std::to_string(i) + ",";
  EXPECT_TRUE(test::PumpUntil([&] { return log_.Text().toStdString() == expected; })) << log_.Text().toStdString();
  log_.PostMessage(WMU_LOG_CLEAR, 0, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return log_.Text().isEmpty(); }));
}

TEST_F(LogWindow, TheCloseButtonHidesTheWindowAndOutputKeepsArriving) {
  CLogWnd::PostAppend(log_, "[Client thread/INFO]: Setting user: Player\n");
  test::Pump(20);
  test::ClickControlOf(&log_, "Btn_Close");
  EXPECT_TRUE(test::PumpUntil([&] { return !log_.GetHWND()->isVisible(); }));
  CLogWnd::PostAppend(log_, "[Client thread/INFO]: LWJGL Version: 2.9.4\n");
  EXPECT_TRUE(test::PumpUntil([&] { return log_.Text().count(QLatin1Char('\n')) == 2; }));
  EXPECT_NE(log_.GetHWND(), nullptr);
}

// A close from the window system (its close command, Alt+F4) must not take the window away
// for the rest of the run: later games would have nowhere to show their output.
TEST_F(LogWindow, TheSystemCloseHidesTheWindowAndKeepsIt) {
  CLogWnd::PostAppend(log_, "first game\n");
  test::Pump(20);
  log_.GetHWND()->close();
  EXPECT_TRUE(test::PumpUntil([&] { return log_.GetHWND() && !log_.GetHWND()->isVisible(); }));
  ASSERT_NE(log_.GetHWND(), nullptr);
  CLogWnd::PostAppend(log_, "still here\n");
  EXPECT_TRUE(test::PumpUntil([&] { return log_.Text().count(QLatin1Char('\n')) == 2; })) << log_.Text().toStdString();
}

TEST_F(LogWindow, SitsAtTheRightEdgeAndTheMinimiseButtonMinimises) {
  const QRect area = log_.GetHWND()->screen()->availableGeometry();
  EXPECT_EQ(log_.GetHWND()->geometry().right(), area.right());
  EXPECT_EQ(log_.GetHWND()->size(), QSize(640, 492));
  test::ClickControlOf(&log_, "Btn_Min");
  EXPECT_TRUE(test::PumpUntil([&] { return log_.IsMinimized(); }));
}

}  // namespace
}  // namespace kv
