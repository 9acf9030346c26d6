#include "dialogs/message_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <thread>

#include "tests/uilib/gui_test_support.h"
#include "uilib/control.h"
#include "uilib/label.h"
#include "uilib/paint_manager.h"
#include "uilib/text_wrap.h"
#include "uilib/ui_cast.h"

namespace kv {
namespace {

using namespace ui;

// Runs `action` on the open message dialog once it is up, then returns what the dialog gave.
int RunDialog(const QString& text, MessageKind kind, int type, const std::function<void(CMessageDialog&)>& action,
              QImage* shot = nullptr, const QString& shotName = {}) {
  CMessageDialog dialog;
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(test::PumpUntil([&] { return dialog.GetHWND() && dialog.GetHWND()->isVisible(); }));
    test::Pump(30);
    if (shot) *shot = test::SaveScreenshot(dialog.GetHWND(), shotName);
    action(dialog);
  });
  return dialog.Show(nullptr, text, kind, QStringLiteral("提示"), type);
}

class MessageDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }
};

TEST_F(MessageDialog, EachButtonGivesItsResult) {
  const auto clickButton = [](const char* name) {
    return [name](CMessageDialog& dialog) {
      test::Click(dialog, dialog.GetPaintManager().FindControl(QString::fromLatin1(name)));
    };
  };
  EXPECT_EQ(RunDialog(QStringLiteral("确定吗?"), MessageKind::Question, kMessageOkCancel, clickButton("okbtn")), 1);
  EXPECT_EQ(RunDialog(QStringLiteral("确定吗?"), MessageKind::Question, kMessageOkCancel, clickButton("cancelbtn")), 2);
  EXPECT_EQ(RunDialog(QStringLiteral("确定吗?"), MessageKind::Question, kMessageOkCancel, clickButton("closebtn")), 8);
  EXPECT_EQ(RunDialog(QStringLiteral("出错了"), MessageKind::Error, kMessageOk,
                      [](CMessageDialog& dialog) { test::KeyClick(dialog.GetHWND(), Qt::Key_Escape); }),
            8);
}

TEST_F(MessageDialog, TypeZeroHasOneButtonAndOtherTypesShowNothing) {
  bool cancelVisible = true;
  RunDialog(QStringLiteral("完成"), MessageKind::Information, kMessageOk, [&](CMessageDialog& dialog) {
    cancelVisible = dialog.GetPaintManager().FindControl(QStringLiteral("cancelbtn"))->IsVisible();
    dialog.Close(1);
  });
  EXPECT_FALSE(cancelVisible);
  CMessageDialog dialog;
  EXPECT_EQ(dialog.Show(nullptr, QStringLiteral("x"), MessageKind::Error, QStringLiteral("提示"), 2), 0);
  EXPECT_EQ(dialog.GetHWND(), nullptr);
}

TEST_F(MessageDialog, WidthGrowsByTheOverflowOnly) {
  EXPECT_EQ(CMessageDialog::WidthForText(355, 340, 200), 355);
  EXPECT_EQ(CMessageDialog::WidthForText(355, 340, 440), 455);
  int shortWidth = 0;
  int longWidth = 0;
  QString caption;
  RunDialog(QStringLiteral("短"), MessageKind::Warning, kMessageOk, [&](CMessageDialog& d) {
    shortWidth = d.GetHWND()->width();
    caption = d.GetPaintManager().FindControl(QStringLiteral("caption"))->GetText();
    d.Close(1);
  });
  EXPECT_EQ(shortWidth, 355);
  EXPECT_EQ(caption, QStringLiteral("提示"));
  const QString longText = QStringLiteral("无法连接到下载服务器，请检查网络连接后重试。如果问题持续出现，请在设置中更换下载源。");
  RunDialog(longText, MessageKind::Warning, kMessageOk, [&](CMessageDialog& d) {
    longWidth = d.GetHWND()->width();
    // The whole line fits into the text control.
    CControlUI* text = d.GetPaintManager().FindControl(QStringLiteral("text"));
    EXPECT_GE(text->GetWidth(), QFontMetrics(d.GetPaintManager().GetFont(0)).horizontalAdvance(longText));
    d.Close(1);
  });
  EXPECT_GT(longWidth, 355);
}

// What the dialog showed a text as.
struct Shown {
  QSize window;
  QRect text;      // the text control
  int textRoom = 0;  // its width for text
  QRect icon;
  QRect okButton;
  int neededHeight = 0;  // of the text broken to that width
  int widestLine = 0;
};

Shown ShowText(const QString& text, MessageKind kind, const QString& shotName) {
  Shown shown;
  QImage shot;
  RunDialog(text, kind, kMessageOk, [&](CMessageDialog& d) {
    CPaintManagerUI& manager = d.GetPaintManager();
    auto* label = ui_cast<CLabelUI>(manager.FindControl(QStringLiteral("text")));
    shown.window = d.GetHWND()->size();
    shown.text = label->GetPos().ToQRect();
    shown.textRoom = shown.text.width() - label->GetTextPadding().left - label->GetTextPadding().right;
    shown.icon = manager.FindControl(QStringLiteral("icon"))->GetPos().ToQRect();
    shown.okButton = manager.FindControl(QStringLiteral("okbtn"))->GetPos().ToQRect();
    shown.neededHeight = WrappedTextHeight(manager.GetFont(0), text, shown.textRoom);
    for (const QString& line : text.split(u'\n')) {
      shown.widestLine = std::max(shown.widestLine, QFontMetrics(manager.GetFont(0)).horizontalAdvance(line));
    }
    d.Close(1);
  }, &shot, shotName);
  return shown;
}

TEST_F(MessageDialog, EachLineIsMeasuredLongLinesWrapAndTheDialogGrowsDownwards) {
  // Two lines: the dialog is as wide as the longer one, not as both side by side.
  const QString twoLines = QStringLiteral("错误信息：无法下载文件 lwjgl-platform-2.9.1-natives-linux.jar\n原因: 无法连接到服务器");
  const Shown download = ShowText(twoLines, MessageKind::Error, QStringLiteral("message_dialog_two_lines"));
  EXPECT_GE(download.textRoom, download.widestLine);
  EXPECT_LT(download.window.width(), 355 + download.widestLine);
  EXPECT_GE(download.text.height(), download.neededHeight);

  // A text far wider than the screen wraps at the dialog's widest and the dialog grows in
  // height; nothing of it runs over the sign or under the buttons.
  QString longText = QStringLiteral("游戏异常退出，退出代码: 1\n最后的输出:\n");
  for (int i = 0; i < 12; ++i) longText += QStringLiteral("Exception in thread \"main\" java.lang.NoClassDefFoundError: net/minecraft/client/main/Main ");
  longText += QStringLiteral("\n完整的输出保存在: /home/player/.local/share/korvane/log/game-latest.log");
  const Shown crash = ShowText(longText, MessageKind::Error, QStringLiteral("message_dialog_long_text"));
  EXPECT_LE(crash.window.width(), 720);
  EXPECT_GT(crash.window.height(), 166);
  EXPECT_GE(crash.text.height(), crash.neededHeight);
  EXPECT_GE(crash.text.left(), crash.icon.right());
  EXPECT_LE(crash.text.bottom(), crash.okButton.top());
  EXPECT_LE(crash.okButton.bottom(), crash.window.height());
}

TEST_F(MessageDialog, KindsPickTheirTileAndInformationLooksLikeError) {
  EXPECT_EQ(CMessageDialog::BackgroundFor(MessageKind::Information), CMessageDialog::BackgroundFor(MessageKind::Error));
  EXPECT_NE(CMessageDialog::BackgroundFor(MessageKind::Question), CMessageDialog::BackgroundFor(MessageKind::Warning));
  EXPECT_TRUE(CMessageDialog::BackgroundFor(static_cast<MessageKind>(0)).isEmpty());
  QImage error;
  QImage information;
  RunDialog(QStringLiteral("错误信息"), MessageKind::Error, kMessageOk, [](CMessageDialog& d) { d.Close(1); }, &error,
            QStringLiteral("message_dialog_error"));
  RunDialog(QStringLiteral("错误信息"), MessageKind::Information, kMessageOk, [](CMessageDialog& d) { d.Close(1); },
            &information, QStringLiteral("message_dialog_information"));
  EXPECT_EQ(error, information);
  QImage question;
  RunDialog(QStringLiteral("你确定要删除\"1.7.10\"的所有信息"), MessageKind::Warning, kMessageOkCancel,
            [](CMessageDialog& d) { d.Close(1); }, &question, QStringLiteral("message_dialog_warning"));
}

TEST_F(MessageDialog, StaysOnTopAndWorksFromAWorkerThread) {
  bool topMost = false;
  std::atomic<int> result = -1;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() != u"KvMessageDialog" || !w->isVisible()) continue;
      topMost = w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      CWindowWnd::FromHandle(w)->Close(1);
      closer.stop();
    }
  });
  closer.start(10);
  std::thread worker([&] {
    result = ShowMessageDialog(nullptr, QStringLiteral("来自工作线程"), MessageKind::Error, QStringLiteral("提示"), kMessageOk);
  });
  const bool finished = test::PumpUntil([&] { return result != -1; }, 5000);
  worker.join();
  ASSERT_TRUE(finished);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(topMost);
}

}  // namespace
}  // namespace kv
