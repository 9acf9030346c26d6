// Edit details, focus and timers in the paint manager, shortcuts, and window lifecycle.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/edit.h"
#include "uilib/layouts.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

const char* kLayout = R"xml(
<Window size="360,240">
  <VerticalLayout bkcolor="#FFFFFFFF" childpadding="4">
    <Edit name="pwd" password="true" text="secret" height="26"/>
    <Edit name="ro" readonly="true" text="fixed" height="26"/>
    <Edit name="tip" tipvalue="type here" height="26"/>
    <Edit name="off" enabled="false" text="disabled" height="26"/>
    <Edit name="long" height="26"/>
    <Edit name="zero" maxchar="0" numberonly="true" height="26"/>
    <Button name="save" text="保存(S)" shortcut="S" height="26"/>
    <Option name="t1" group="tiles" text="t1" height="26"/>
  </VerticalLayout>
</Window>)xml";

class ControlState : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window_.Open()); }
  void TearDown() override {
    window_.DestroyWindow();
    test::Pump();
  }
  CEditUI* Edit(const char* name) { return window_.FindAs<CEditUI>(QString::fromLatin1(name)); }
  test::TestWindow window_{QString::fromUtf8(kLayout)};
};

TEST_F(ControlState, PasswordsShowMasksAndReadOnlyEditsStayUnchanged) {
  EXPECT_EQ(Edit("pwd")->GetText(), QStringLiteral("secret"));
  test::Click(window_, Edit("pwd"));
  ASSERT_NE(Edit("pwd")->GetNativeEdit(), nullptr);
  EXPECT_EQ(Edit("pwd")->GetNativeEdit()->echoMode(), QLineEdit::Password);

  test::Click(window_, Edit("ro"));
  QLineEdit* native = Edit("ro")->GetNativeEdit();
  ASSERT_NE(native, nullptr);
  QTest::keyClicks(native, QStringLiteral("xyz"));
  test::Pump();
  EXPECT_EQ(Edit("ro")->GetText(), QStringLiteral("fixed"));
  EXPECT_TRUE(window_.Notifications(kNotifyTextChanged).empty());

  // A disabled edit opens no editor.
  test::Click(window_, Edit("off"));
  EXPECT_EQ(Edit("off")->GetNativeEdit(), nullptr);
}

TEST_F(ControlState, TextSetWhileEditingReachesTheEditorWithoutANotification) {
  test::Click(window_, Edit("tip"));
  QLineEdit* native = Edit("tip")->GetNativeEdit();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(native->placeholderText(), QStringLiteral("type here"));
  Edit("tip")->SetText(QStringLiteral("from code"));
  EXPECT_EQ(native->text(), QStringLiteral("from code"));
  EXPECT_TRUE(window_.Notifications(kNotifyTextChanged).empty());
  // Disabling the edit closes its editor and keeps the text.
  Edit("tip")->SetEnabled(false);
  EXPECT_TRUE(test::PumpUntil([&] { return Edit("tip")->GetNativeEdit() == nullptr; }));
  EXPECT_EQ(Edit("tip")->GetText(), QStringLiteral("from code"));
}

// The length limit and the digit rule hold back what the player types; text the program put
// there (a stored value longer than the limit, say) survives looking at it in the editor.
TEST_F(ControlState, OpeningAnEditorKeepsTextBeyondItsRules) {
  const QString parameters = QStringLiteral("-XX:+UseG1GC -Dkv.option=") + QString(300, u'x');
  Edit("long")->SetText(parameters);
  test::Click(window_, Edit("long"));
  ASSERT_NE(Edit("long")->GetNativeEdit(), nullptr);
  EXPECT_EQ(Edit("long")->GetNativeEdit()->text(), parameters);
  Edit("zero")->SetText(QStringLiteral("1024m"));
  test::Click(window_, Edit("zero"));
  EXPECT_TRUE(test::PumpUntil([&] { return Edit("long")->GetNativeEdit() == nullptr; }));
  EXPECT_EQ(Edit("long")->GetText(), parameters);
  ASSERT_NE(Edit("zero")->GetNativeEdit(), nullptr);
  EXPECT_EQ(Edit("zero")->GetNativeEdit()->text(), QStringLiteral("1024m"));
  // maxchar 0 sets no limit of its own.
  QTest::keyClick(Edit("zero")->GetNativeEdit(), Qt::Key_Backspace);
  QTest::keyClicks(Edit("zero")->GetNativeEdit(), QStringLiteral("7"));
  test::Click(window_, Edit("long"));
  EXPECT_TRUE(test::PumpUntil([&] { return Edit("zero")->GetNativeEdit() == nullptr; }));
  EXPECT_EQ(Edit("zero")->GetText(), QStringLiteral("10247"));
}

TEST_F(ControlState, HidingTheFocusedControlClearsTheFocus) {
  CControlUI* save = window_.Find(QStringLiteral("save"));
  save->SetFocus();
  EXPECT_EQ(window_.GetPaintManager().GetFocus(), save);
  save->SetVisible(false);
  EXPECT_EQ(window_.GetPaintManager().GetFocus(), nullptr);
  // Invisible controls cannot take it back.
  save->SetFocus();
  EXPECT_EQ(window_.GetPaintManager().GetFocus(), nullptr);
}

TEST_F(ControlState, AltAndTheShortcutLetterActivateAButton) {
  test::KeyClick(window_.GetHWND(), Qt::Key_S, Qt::AltModifier);
  const auto clicks = window_.Notifications(kNotifyClick);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].sender, QStringLiteral("save"));
  EXPECT_EQ(window_.GetPaintManager().GetFocus(), window_.Find(QStringLiteral("save")));
}

TEST_F(ControlState, OptionsAddedByCodeJoinTheirGroup) {
  auto* layout = ui_cast<CContainerUI>(window_.GetPaintManager().GetRoot());
  auto* first = window_.FindAs<COptionUI>(QStringLiteral("t1"));
  first->Selected(true);
  auto* second = new COptionUI();
  second->SetName(QStringLiteral("t2"));
  second->SetAttribute(QStringLiteral("group"), QStringLiteral("tiles"));
  layout->Add(second);
  window_.ClearRecords();
  second->SetAttribute(QStringLiteral("selected"), QStringLiteral("true"));
  EXPECT_TRUE(second->IsSelected());
  EXPECT_FALSE(first->IsSelected());
  const auto changes = window_.Notifications(kNotifySelectChanged);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].sender, QStringLiteral("t2"));
  // Removing a member leaves the group working.
  layout->Remove(second);
  test::Pump(10);
  first->Selected(true);
  EXPECT_TRUE(first->IsSelected());
}

TEST_F(ControlState, TimersReachTheirControlUntilKilledOrRemoved) {
  CControlUI* save = window_.Find(QStringLiteral("save"));
  CPaintManagerUI& manager = window_.GetPaintManager();
  ASSERT_TRUE(manager.SetTimer(save, 3, 5));
  // Controls that do not handle their timers pass them on as notifications.
  ASSERT_TRUE(test::PumpUntil([&] { return window_.Notifications(kNotifyTimer).size() >= 2; }));
  EXPECT_EQ(window_.Notifications(kNotifyTimer)[0].wParam, 3u);
  EXPECT_TRUE(manager.KillTimer(save, 3));
  EXPECT_FALSE(manager.KillTimer(save, 3));
  window_.ClearRecords();
  ASSERT_TRUE(manager.SetTimer(save, 4, 5));
  auto* layout = ui_cast<CContainerUI>(manager.GetRoot());
  layout->Remove(save);
  test::Pump(40);
  EXPECT_TRUE(window_.Notifications(kNotifyTimer).empty());
}

// Counts its final message.
class CountingWindow : public test::TestWindow {
 public:
  CountingWindow(const QString& layout, int* finals) : TestWindow(layout), finals_(finals) {}

 protected:
  void OnFinalMessage(HWND) override { ++*finals_; }

 private:
  int* finals_;
};

TEST(WindowLifecycle, ALayoutThatCannotBeBuiltCreatesNoWindow) {
  int finals = 0;
  CountingWindow broken(QStringLiteral("xmls\\DoesNotExist.xml"), &finals);
  EXPECT_FALSE(broken.Open());
  EXPECT_EQ(broken.GetHWND(), nullptr);
  EXPECT_EQ(finals, 1);
}

TEST(WindowLifecycle, WindowsGoWithTheWindowThatOwnsThem) {
  int finals = 0;
  test::TestWindow owner(QString::fromUtf8(kLayout));
  ASSERT_TRUE(owner.Open());
  CountingWindow child(QString::fromUtf8(kLayout), &finals);
  ASSERT_TRUE(child.Open(owner.GetHWND()));
  owner.DestroyWindow();
  EXPECT_TRUE(test::PumpUntil([&] { return child.GetHWND() == nullptr; }));
  EXPECT_EQ(finals, 1);
  EXPECT_FALSE(child.PostMessage(WM_USER + 1));
}

}  // namespace
}  // namespace kv::ui
