// The log window: output appended as it comes, cleared at the next game, hidden (not lost) by
// its close button, readable from its start while the game writes, copied and saved, placed
// beside the launcher.
#include "dialogs/log_wnd.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QWidget>
#include <thread>

#include "dialogs/file_pickers.h"
#include "dialogs/window_messages.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/rich_edit.h"
#include "uilib/ui_cast.h"

namespace kv {
namespace {

using namespace ui;

// Saves where the test says, or is cancelled when it says nothing.
class SavePicker : public FilePickers {
 public:
  bool BrowseForExecutable(HWND, std::vector<std::string>&) override { return false; }
  bool BrowseForFolder(const QString&, std::string&, HWND) override { return false; }
  bool BrowseForSaveFile(const QString&, std::string& path, HWND) override {
    suggested = path;
    if (chosen.empty()) return false;
    path = chosen;
    return true;
  }
  std::string chosen;
  std::string suggested;
};

class LogWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
    ASSERT_TRUE(log_.CreateHidden());
    log_.ShowWindow(true);
    ASSERT_TRUE(test::PumpUntil([this] { return log_.GetHWND()->isVisible(); }));
    test::Pump(20);
  }
  // Posts `count` numbered lines from another thread, a hundred to a chunk, and waits for them.
  void PostLines(int first, int count) {
    std::thread([&] {
      std::string chunk;
      for (int i = first; i < first + count; ++i) {
        chunk += "[Render thread/INFO]: line " + std::to_string(i) + "\n";
        if ((i - first) % 100 != 99) continue;
        CLogWnd::PostAppend(log_, std::move(chunk));
        chunk.clear();
      }
      if (!chunk.empty()) CLogWnd::PostAppend(log_, std::move(chunk));
    }).join();
    const QString last = QStringLiteral("line %1\n").arg(first + count - 1);
    ASSERT_TRUE(test::PumpUntil([&] { return log_.Text().endsWith(last); }, 60000));
  }
  QScrollBar* ScrollBar() {
    auto* edit = ui_cast<CRichEditUI>(test::ControlOf(&log_, "RE_Log"));
    return edit->GetNativeEdit()->verticalScrollBar();
  }

  SavePicker pickers_;
  CLogWnd log_{&pickers_};
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

// The player scrolls back to read how the game started while it goes on writing.
TEST_F(LogWindow, AViewScrolledBackStaysWhileOutputArrivesAndTheEndIsFollowedAgainOnceReached) {
  PostLines(0, 300);
  QScrollBar* bar = ScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(0);
  PostLines(300, 300);
  EXPECT_EQ(bar->value(), 0);
  bar->setValue(bar->maximum());
  PostLines(600, 300);
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(LogWindow, EndlessOutputKeepsItsFirstAndLatestLinesAndSaysWhatWasLeftOut) {
  const int total = CLogWnd::kFirstLines + CLogWnd::kLatestLines + 12000;
  PostLines(0, total);
  const QStringList lines = log_.Text().split(QLatin1Char('\n'));
  ASSERT_GT(lines.size(), CLogWnd::kFirstLines + 1);
  const auto line = [](int number) { return QStringLiteral("[Render thread/INFO]: line %1").arg(number); };
  EXPECT_EQ(lines[0], line(0));
  EXPECT_EQ(lines[CLogWnd::kFirstLines - 1], line(CLogWnd::kFirstLines - 1));
  // One line stands for the ones left out and says how many they were.
  const QString& gap = lines[CLogWnd::kFirstLines];
  // The lines after it are the latest ones, the last line's break ending the text.
  const int latest = static_cast<int>(lines.size()) - 2 - CLogWnd::kFirstLines;
  const int leftOut = total - CLogWnd::kFirstLines - latest;
  EXPECT_TRUE(gap.contains(QStringLiteral("略去了 %1 行").arg(leftOut))) << gap.toStdString();
  EXPECT_TRUE(gap.contains(QStringLiteral("log/game-latest.log"))) << gap.toStdString();
  EXPECT_EQ(lines[CLogWnd::kFirstLines + 1], line(CLogWnd::kFirstLines + leftOut));
  EXPECT_EQ(lines[lines.size() - 2], line(total - 1));
  EXPECT_GE(latest, CLogWnd::kLatestLines);
  EXPECT_TRUE(log_.Note().contains(QString::number(leftOut))) << log_.Note().toStdString();
  // Shown where the first lines end.
  ScrollBar()->setValue(CLogWnd::kFirstLines - 10);
  test::Pump(30);
  test::SaveScreenshot(log_.GetHWND(), QStringLiteral("log_window_left_out"));

  // The next game starts from nothing.
  log_.PostMessage(WMU_LOG_CLEAR, 0, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return log_.Text().isEmpty() && log_.Note().isEmpty(); }));
}

TEST_F(LogWindow, TheTextIsCopiedAndSavedWhereThePlayerChooses) {
  PostLines(0, 3);
  const QString text = log_.Text();
  test::ClickControlOf(&log_, "Btn_CopyLog");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), text);

  test::TempFolder folder;
  // Cancelled: nothing is written.
  test::ClickControlOf(&log_, "Btn_SaveLog");
  EXPECT_TRUE(pickers_.suggested.ends_with(".log")) << pickers_.suggested;
  pickers_.chosen = folder / "游戏日志.txt";
  test::ClickControlOf(&log_, "Btn_SaveLog");
  EXPECT_EQ(test::ReadFile(pickers_.chosen), text.toStdString());
  EXPECT_TRUE(log_.Note().contains(QString::fromStdString(pickers_.chosen))) << log_.Note().toStdString();
  test::SaveScreenshot(log_.GetHWND(), QStringLiteral("log_window_saved"));

  // A place that cannot take the file is named to the player.
  pickers_.chosen = folder.Path();
  test::MessageAnswerer answerer("okbtn");
  test::ClickControlOf(&log_, "Btn_SaveLog");
  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
  EXPECT_TRUE(answerer.Texts()[0].contains(QString::fromStdString(folder.Path()))) << answerer.Texts()[0].toStdString();
}

TEST_F(LogWindow, ShownBesideTheLauncherItCoversNoneOfIt) {
  log_.ShowWindow(false);
  const QRect area = log_.GetHWND()->screen()->availableGeometry();
  test::TestWindow launcher(QStringLiteral("<Window size=\"300,400\"><VerticalLayout bkcolor=\"#FFF3F3E1\"/></Window>"));
  ASSERT_TRUE(launcher.Open());
  launcher.GetHWND()->move(area.topLeft());
  log_.ShowBeside(launcher.GetHWND());
  ASSERT_TRUE(test::PumpUntil([&] { return log_.GetHWND()->isVisible(); }));
  EXPECT_FALSE(log_.GetHWND()->geometry().intersects(launcher.GetHWND()->geometry()))
      << log_.GetHWND()->geometry().x() << "," << log_.GetHWND()->geometry().width();
  EXPECT_TRUE(area.contains(log_.GetHWND()->geometry()));
  launcher.DestroyWindow();
}

}  // namespace
}  // namespace kv
