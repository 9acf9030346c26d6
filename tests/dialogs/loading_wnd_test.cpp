#include "dialogs/loading_wnd.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <thread>

#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

constexpr UINT kWorkerMessage = WM_USER + 500;

const char* kOwnerLayout =
    "<Window size=\"420,300\"><VerticalLayout bkcolor=\"#FFF3F3E1\">"
    "<Button name=\"go\" text=\"go\" width=\"120\" height=\"40\" bkcolor=\"#FFE3DB9A\"/>"
    "</VerticalLayout></Window>";

class LoadingWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
    ASSERT_TRUE(owner_.Open());
    ASSERT_TRUE(loading_.CreateFor(owner_.GetHWND()));
  }
  void TearDown() override {
    loading_.DestroyWindow();
    owner_.DestroyWindow();
    test::Pump();
  }

  test::TestWindow owner_{QString::fromLatin1(kOwnerLayout)};
  CLoadingWnd loading_;
};

TEST_F(LoadingWindow, WorkerMessagesArriveInOrderWhileMouseInputToTheOwnerIsDropped) {
  bool shownMeanwhile = false;
  owner_.onMessage = [&](UINT msg, WPARAM index, LPARAM) {
    if (msg != kWorkerMessage || index != 20) return;
    shownMeanwhile = loading_.GetHWND()->isVisible();
    // A click on the owner while the indicator is up goes nowhere...
    test::Click(owner_, owner_.Find(QStringLiteral("go")));
    // ...but the keyboard still works.
    QTest::keyClick(owner_.GetHWND(), Qt::Key_Space);
  };
  owner_.Find(QStringLiteral("go"))->SetFocus();
  loading_.Begin();
  std::thread worker([&] {
    for (int i = 0; i < 40; ++i) {
      owner_.PostMessage(kWorkerMessage, static_cast<WPARAM>(i), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    loading_.Finish();
  });
  loading_.Wait();
  worker.join();
  test::Pump(20);

  std::vector<WPARAM> order;
  for (const auto& m : owner_.Messages()) {
    if (m.msg == kWorkerMessage) order.push_back(m.wParam);
  }
  ASSERT_EQ(order.size(), 40u);
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i);
  EXPECT_TRUE(shownMeanwhile);
  // Exactly one click: the one from the keyboard.
  EXPECT_EQ(owner_.Notifications(kNotifyClick).size(), 1u);
  EXPECT_TRUE(test::PumpUntil([&] { return !loading_.GetHWND()->isVisible(); }));

  // Once the wait is over the mouse reaches the owner again.
  test::Click(owner_, owner_.Find(QStringLiteral("go")));
  EXPECT_EQ(owner_.Notifications(kNotifyClick).size(), 2u);
}

TEST_F(LoadingWindow, AWorkerThatIsAlreadyDoneEndsTheWaitAtOnce) {
  loading_.Begin();
  loading_.DoneEvent().Set();
  loading_.Wait();
  // The event starts signalled: a wait without Begin returns at once too.
  CLoadingWnd fresh;
  EXPECT_TRUE(fresh.DoneEvent().IsSet());
}

TEST_F(LoadingWindow, BeginTwiceKeepsItShownAndCentredOnItsOwner) {
  loading_.Begin();
  loading_.Begin();
  ASSERT_TRUE(test::PumpUntil([&] { return loading_.GetHWND()->isVisible(); }));
  const QPoint ownerCentre = owner_.GetHWND()->frameGeometry().center();
  const QPoint centre = loading_.GetHWND()->frameGeometry().center();
  EXPECT_LE((ownerCentre - centre).manhattanLength(), 2);
  EXPECT_EQ(loading_.GetHWND()->size(), QSize(40, 40));
  test::Pump(120);
  test::SaveScreenshot(loading_.GetHWND(), QStringLiteral("loading_window"));
  std::thread worker([&] { loading_.Finish(); });
  loading_.Wait();
  worker.join();
  EXPECT_TRUE(test::PumpUntil([&] { return !loading_.GetHWND()->isVisible(); }));
}

TEST_F(LoadingWindow, ALineSaysWhatTheWorkerDoesAndItsCancelButtonAsksOnce) {
  int cancels = 0;
  // Room on the screen for the indicator, wider than its owner, to be centred on it.
  QWidget* owner = owner_.GetHWND();
  owner->move(owner->screen()->availableGeometry().center() - owner->rect().center());
  loading_.Begin(QStringLiteral("正在登录账户…"), [&] { ++cancels; });
  ASSERT_TRUE(test::PumpUntil([&] { return loading_.GetHWND()->isVisible(); }));
  EXPECT_GT(loading_.GetHWND()->width(), 300);
  std::thread([&] { loading_.SetText(QStringLiteral("正在获取版本 1.20.1 的描述和资源索引…")); }).join();
  EXPECT_TRUE(test::PumpUntil(
      [&] { return test::TextOf(&loading_, "LB_Stage") == QStringLiteral("正在获取版本 1.20.1 的描述和资源索引…"); }));
  // Centred on its owner, at its new width.
  const QPoint ownerCentre = owner_.GetHWND()->frameGeometry().center();
  EXPECT_LE((ownerCentre - loading_.GetHWND()->frameGeometry().center()).manhattanLength(), 2);
  test::Pump(60);
  test::SaveScreenshot(owner_.GetHWND(), {loading_.GetHWND()}, QStringLiteral("loading_window_with_line"));

  test::ClickControlOf(&loading_, "Btn_Cancel");
  test::ClickControlOf(&loading_, "Btn_Cancel");
  EXPECT_EQ(cancels, 1);
  // A step reported after the cancel does not hide that the launch is stopping.
  std::thread([&] { loading_.SetText(QStringLiteral("正在检查游戏文件…")); }).join();
  test::Pump();
  EXPECT_EQ(test::TextOf(&loading_, "LB_Stage"), QString::fromUtf8(msg::kStageCancelling));
  EXPECT_FALSE(test::ControlOf(&loading_, "Btn_Cancel")->IsEnabled());
  std::thread([&] { loading_.Finish(); }).join();
  loading_.Wait();
  EXPECT_TRUE(test::PumpUntil([&] { return !loading_.GetHWND()->isVisible(); }));

  // Begun without a line, it is the bare mark again.
  loading_.Begin();
  ASSERT_TRUE(test::PumpUntil([&] { return loading_.GetHWND()->isVisible(); }));
  EXPECT_EQ(loading_.GetHWND()->size(), QSize(40, 40));
  EXPECT_FALSE(test::ControlOf(&loading_, "LB_Stage")->IsVisible());
  std::thread([&] { loading_.Finish(); }).join();
  loading_.Wait();
}

}  // namespace
}  // namespace kv
