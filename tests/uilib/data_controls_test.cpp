// Progress, rich edit, combo, GIF animation and removing controls from their own handlers.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QImageWriter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/combo.h"
#include "uilib/gif_anim.h"
#include "uilib/layouts.h"
#include "uilib/list.h"
#include "uilib/progress.h"
#include "uilib/rich_edit.h"
#include "uilib/skin_resources.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

const char* kLayout = R"(
<Window size="400,400">
  <VerticalLayout bkcolor="#FFFFFFFF">
    <Progress name="p" height="20" min="10" max="110" value="500" foreimage="test\fore.png"/>
    <RichEdit name="re" height="80" readonly="true" vscrollbar="true" autovscroll="true" maxchar="10"/>
    <RichEdit name="typed" height="30" wantreturn="false" wanttab="false"/>
    <Combo name="cb" height="26"><ListLabelElement text="alpha"/><ListLabelElement text="beta"/></Combo>
    <GifAnim name="gif" width="20" height="20" bkimage="test\spin.gif"/>
    <VerticalLayout name="box" height="60"><Button name="self" text="remove me" height="30"/></VerticalLayout>
  </VerticalLayout>
</Window>)";

QByteArray ThreeFrameGif() {
  // Qt writes no GIFs; a minimal animated GIF by hand: 2x2, three frames, 20 ms each.
  QByteArray gif("GIF89a\x02\x00\x02\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff", 19);
  gif.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
  for (int frame = 0; frame < 3; ++frame) {
    gif.append("\x21\xf9\x04\x00\x02\x00\x00\x00", 8);
    gif.append("\x2c\x00\x00\x00\x00\x02\x00\x02\x00\x00", 10);
    gif.append(frame % 2 ? "\x02\x02\x4c\x0a\x00" : "\x02\x02\x44\x0a\x00", 5);
  }
  gif.append('\x3b');
  return gif;
}

class DataControls : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinResources::Instance().AddFile(QStringLiteral("test/fore.png"), test::SolidPng(8, 8, 0xFF00AA00));
    SkinResources::Instance().AddFile(QStringLiteral("test/spin.gif"), ThreeFrameGif());
    ASSERT_TRUE(window_.Open());
  }
  void TearDown() override {
    window_.DestroyWindow();
    test::Pump();
  }
  template <typename T>
  T* Get(const char* name) {
    return window_.FindAs<T>(QString::fromLatin1(name));
  }
  test::TestWindow window_{QString::fromUtf8(kLayout)};
};

TEST_F(DataControls, ProgressClampsAndFillsInProportion) {
  auto* progress = Get<CProgressUI>("p");
  EXPECT_EQ(progress->GetValue(), 110);
  progress->SetValue(-5);
  EXPECT_EQ(progress->GetValue(), 10);
  progress->SetValue(60);
  test::Pump(20);
  const QImage shot = window_.GetHWND()->grab().toImage();
  const UiRect rc = progress->GetPos();
  EXPECT_EQ(shot.pixel(rc.left + rc.Width() / 4, rc.top + 10), 0xFF00AA00u);
  EXPECT_EQ(shot.pixel(rc.left + rc.Width() * 3 / 4, rc.top + 10), 0xFFFFFFFFu);
}

TEST_F(DataControls, RichEditAppendsFollowsTheEndAndLimitsOnlyTyping) {
  auto* log = Get<CRichEditUI>("re");
  for (int i = 0; i < 50; ++i) log->AppendText(QStringLiteral("line %1\n").arg(i), true);
  test::Pump(10);
  // Appended text is kept whole; the limit is for what the user types.
  EXPECT_TRUE(log->GetText().startsWith(QStringLiteral("line 0\nline 1\n")));
  EXPECT_TRUE(log->GetText().endsWith(QStringLiteral("line 49\n")));
  QScrollBar* bar = log->GetNativeEdit()->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  log->SetText(QString());
  EXPECT_TRUE(log->GetText().isEmpty());

  auto* typed = Get<CRichEditUI>("typed");
  test::Click(window_, typed);
  EXPECT_TRUE(typed->GetNativeEdit()->hasFocus());
  window_.ClearRecords();
  QTest::keyClicks(typed->GetNativeEdit(), QStringLiteral("hello"));
  QTest::keyClick(typed->GetNativeEdit(), Qt::Key_Return);
  test::Pump();
  EXPECT_EQ(typed->GetText(), QStringLiteral("hello"));
  EXPECT_EQ(window_.Notifications(kNotifyReturn).size(), 1u);
  EXPECT_EQ(window_.Notifications(kNotifyTextChanged).size(), 5u);

  // Tab leaves the editor for the combo, then for the button, which takes Space.
  QTest::keyClick(typed->GetNativeEdit(), Qt::Key_Tab);
  auto* combo = Get<CComboUI>("cb");
  EXPECT_EQ(window_.GetPaintManager().GetFocus(), combo);
  EXPECT_TRUE(combo->GetNativeCombo()->hasFocus());
  QTest::keyClick(combo->GetNativeCombo(), Qt::Key_Tab);
  EXPECT_EQ(window_.GetPaintManager().GetFocus(), window_.Find(QStringLiteral("self")));
  EXPECT_TRUE(window_.GetHWND()->hasFocus());
  window_.ClearRecords();
  QTest::keyClick(window_.GetHWND(), Qt::Key_Space);
  ASSERT_EQ(window_.Notifications(kNotifyClick).size(), 1u);
  EXPECT_EQ(window_.Notifications(kNotifyClick)[0].sender, QStringLiteral("self"));
}

TEST_F(DataControls, ComboSelectionComesFromCodeAndFromTheNativeBox) {
  auto* combo = Get<CComboUI>("cb");
  QComboBox* native = combo->GetNativeCombo();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(native->count(), 2);
  EXPECT_EQ(combo->GetCurSel(), -1);
  EXPECT_TRUE(combo->SelectItem(1));
  EXPECT_EQ(combo->GetText(), QStringLiteral("beta"));
  EXPECT_EQ(native->currentIndex(), 1);
  auto selects = window_.Notifications(kNotifyItemSelect);
  ASSERT_EQ(selects.size(), 1u);
  EXPECT_EQ(selects[0].sender, QStringLiteral("cb"));
  EXPECT_EQ(selects[0].wParam, 1u);
  EXPECT_EQ(selects[0].lParam, -1);
  // The player picks in the native box.
  native->setCurrentIndex(0);
  EXPECT_EQ(combo->GetCurSel(), 0);
  EXPECT_EQ(window_.Notifications(kNotifyItemSelect).size(), 2u);
  auto* item = new CListLabelElementUI();
  item->SetText(QStringLiteral("gamma"));
  combo->Add(item);
  EXPECT_EQ(native->count(), 3);
  EXPECT_EQ(native->itemText(2), QStringLiteral("gamma"));
}

TEST_F(DataControls, GifsAnimateWhileShownAndStopWhileHidden) {
  auto* gif = Get<CGifAnimUI>("gif");
  ASSERT_EQ(gif->FrameCount(), 3);
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_TRUE(test::PumpUntil([&] { return gif->CurrentFrame() == 2; }, 2000));
  gif->SetVisible(false);
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_EQ(gif->CurrentFrame(), 0);
  gif->SetVisible(true);
  EXPECT_TRUE(gif->IsPlaying());
}

// Removes the button that was clicked from inside its own click notification.
class SelfRemovingWindow : public test::TestWindow {
 public:
  SelfRemovingWindow() : TestWindow(QString::fromUtf8(kLayout)) {}
  void Notify(TNotifyUI& msg) override {
    TestWindow::Notify(msg);
    if (msg.sType == kNotifyClick && msg.pSender->GetName() == u"self") {
      auto* box = ui_cast<CContainerUI>(Find(QStringLiteral("box")));
      box->Remove(msg.pSender);
    }
  }
};

TEST(ControlRemoval, AControlRemovedInItsOwnHandlerIsDestroyedAfterwards) {
  SkinResources::Instance().AddFile(QStringLiteral("test/fore.png"), test::SolidPng(8, 8, 0xFF00AA00));
  SelfRemovingWindow window;
  ASSERT_TRUE(window.Open());
  CControlUI* button = window.Find(QStringLiteral("self"));
  test::Click(window, button);
  test::Pump(10);
  EXPECT_EQ(window.Find(QStringLiteral("self")), nullptr);
  EXPECT_EQ(window.Notifications(kNotifyClick).size(), 1u);
  // Hovering and clicking where it was reaches nothing that is gone.
  test::ClickAt(window.GetHWND(), QPoint(200, 380));
  window.DestroyWindow();
}

}  // namespace
}  // namespace kv::ui
