// Clicks and keys go through the window's real input path and come out as the right
// notifications.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/edit.h"
#include "uilib/label.h"
#include "uilib/list.h"
#include "uilib/scroll_bar.h"

namespace kv::ui {
namespace {

const char* kLayout = R"(
<Window size="420,420" caption="0,0,0,40" sizebox="4,4,4,4" tooltiphovertime="30">
  <VerticalLayout bkcolor="#FFFFFFFF" inset="6,0,6,0">
    <HorizontalLayout height="40">
      <Label name="title" text="title" width="100" height="40"/>
      <Button name="btn" text="OK" width="80" height="30" tooltip="press me"/>
      <Button name="off" text="off" width="60" height="30" enabled="false"/>
      <Text name="link" text="go {a}https://example.org{/a}" width="150" height="30"/>
    </HorizontalLayout>
    <HorizontalLayout height="30">
      <Option name="o1" group="g" text="one" width="60" selected="true"/>
      <Option name="o2" group="g" text="two" width="60"/>
      <CheckBox name="cb" text="check" width="80"/>
    </HorizontalLayout>
    <VerticalLayout name="menuHost" height="60" menu="true">
      <Label name="inner" text="inner" height="20"/>
      <Button name="btn2" text="b" height="20"/>
    </VerticalLayout>
    <Edit name="ed" height="28" maxchar="5" numberonly="true"/>
    <List name="list" height="90" vscrollbar="true" menu="true" itemheight="24">
      <ListLabelElement name="row0" text="zero"/>
      <ListLabelElement name="row1" text="one"/>
      <ListLabelElement name="row2" text="two"/>
      <ListLabelElement name="row3" text="three"/>
      <ListLabelElement name="row4" text="four"/>
    </List>
  </VerticalLayout>
</Window>)";

class ControlInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Open());
    window_.ClearRecords();
  }
  void TearDown() override {
    window_.DestroyWindow();
    test::Pump();
  }
  CControlUI* Find(const char* name) { return window_.Find(QString::fromLatin1(name)); }
  QWidget* Widget() { return window_.GetHWND(); }
  QStringList Senders(const QString& type) {
    QStringList names;
    for (const auto& n : window_.Notifications(type)) names << n.sender;
    return names;
  }

  test::TestWindow window_{QString::fromUtf8(kLayout)};
};

TEST_F(ControlInput, ButtonsClickOnReleaseInsideOnly) {
  test::Click(window_, Find("btn"));
  EXPECT_EQ(Senders(kNotifyClick), QStringList{QStringLiteral("btn")});
  // Pressed, then released outside: no click.
  QTest::mousePress(Widget(), Qt::LeftButton, {}, test::CenterOf(Find("btn")));
  QTest::mouseMove(Widget(), QPoint(300, 300));
  QTest::mouseRelease(Widget(), Qt::LeftButton, {}, QPoint(300, 300));
  test::Click(window_, Find("off"));
  EXPECT_EQ(window_.Notifications(kNotifyClick).size(), 1u);
}

TEST_F(ControlInput, GroupedOptionsExcludeEachOtherAndOnlyTheNewOneNotifies) {
  auto* o1 = window_.FindAs<COptionUI>(QStringLiteral("o1"));
  auto* o2 = window_.FindAs<COptionUI>(QStringLiteral("o2"));
  auto* cb = window_.FindAs<CCheckBoxUI>(QStringLiteral("cb"));
  ASSERT_TRUE(o1 && o2 && cb);
  EXPECT_TRUE(o1->IsSelected());
  test::Click(window_, o2);
  EXPECT_TRUE(o2->IsSelected());
  EXPECT_FALSE(o1->IsSelected());
  EXPECT_EQ(Senders(kNotifySelectChanged), QStringList{QStringLiteral("o2")});
  EXPECT_EQ(Senders(kNotifyClick), QStringList{QStringLiteral("o2")});
  test::Click(window_, o2);  // clicking the selected one keeps it selected, silently
  EXPECT_TRUE(o2->IsSelected());
  EXPECT_EQ(window_.Notifications(kNotifySelectChanged).size(), 1u);

  window_.ClearRecords();
  test::Click(window_, cb);
  EXPECT_TRUE(cb->GetCheck());
  test::Click(window_, cb);
  EXPECT_FALSE(cb->GetCheck());
  // Without a group every change notifies, with the new state.
  const auto changes = window_.Notifications(kNotifySelectChanged);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].wParam, 1u);
  EXPECT_EQ(changes[1].wParam, 0u);
}

TEST_F(ControlInput, MenuClimbsToTheNearestMenuOwnerAndNamesTheControlClicked) {
  test::Click(window_, Find("inner"), Qt::RightButton);
  auto menus = window_.Notifications(kNotifyMenu);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].sender, QStringLiteral("menuHost"));
  EXPECT_EQ(menus[0].lParam, reinterpret_cast<LPARAM>(Find("inner")));
  // Buttons keep right clicks to themselves.
  test::Click(window_, Find("btn2"), Qt::RightButton);
  EXPECT_EQ(window_.Notifications(kNotifyMenu).size(), 1u);

  // A row is clicked and selected before its list reports the menu.
  window_.ClearRecords();
  test::Click(window_, Find("row1"), Qt::RightButton);
  EXPECT_EQ(Senders(kNotifyItemClick), QStringList{QStringLiteral("row1")});
  menus = window_.Notifications(kNotifyMenu);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].sender, QStringLiteral("list"));
  EXPECT_EQ(menus[0].lParam, reinterpret_cast<LPARAM>(Find("row1")));
  EXPECT_EQ(window_.FindAs<CListUI>(QStringLiteral("list"))->GetCurSel(), 1);
}

TEST_F(ControlInput, ListRowsSelectClickAndActivate) {
  auto* list = window_.FindAs<CListUI>(QStringLiteral("list"));
  test::Click(window_, Find("row2"));
  EXPECT_EQ(list->GetCurSel(), 2);
  auto selects = window_.Notifications(kNotifyItemSelect);
  ASSERT_EQ(selects.size(), 1u);
  EXPECT_EQ(selects[0].sender, QStringLiteral("list"));
  EXPECT_EQ(selects[0].wParam, 2u);
  EXPECT_EQ(selects[0].lParam, -1);
  // The row is already selected when its click is reported.
  EXPECT_EQ(Senders(kNotifyItemClick), QStringList{QStringLiteral("row2")});

  window_.ClearRecords();
  test::DoubleClick(window_, Find("row0"));
  EXPECT_EQ(Senders(kNotifyItemActivate), QStringList{QStringLiteral("row0")});
  const auto dbclicks = window_.Notifications(kNotifyItemDbClick);
  ASSERT_EQ(dbclicks.size(), 1u);
  EXPECT_EQ(dbclicks[0].sender, QStringLiteral("list"));
  EXPECT_EQ(dbclicks[0].wParam, 0u);

  // Arrow keys move the selection and scroll it into view.
  for (int i = 0; i < 4; ++i) test::KeyClick(Widget(), Qt::Key_Down);
  EXPECT_EQ(list->GetCurSel(), 4);
  const UiRect body = list->GetList()->GetPos();
  EXPECT_LE(Find("row4")->GetPos().bottom, body.bottom);
  EXPECT_GT(list->GetList()->GetScrollPos().height(), 0);
}

TEST_F(ControlInput, TabWalksTheFocusAndSpaceActivates) {
  test::Click(window_, Find("btn"));
  window_.ClearRecords();
  test::KeyClick(Widget(), Qt::Key_Tab);
  EXPECT_EQ(Senders(kNotifyKillFocus), QStringList{QStringLiteral("btn")});
  // "off" is disabled and the Text is no tab stop; the next stop is the first option.
  EXPECT_EQ(Senders(kNotifySetFocus), QStringList{QStringLiteral("o1")});
  test::KeyClick(Widget(), Qt::Key_Backtab);
  EXPECT_EQ(window_.GetPaintManager().GetFocus(), Find("btn"));
  window_.ClearRecords();
  test::KeyClick(Widget(), Qt::Key_Space);
  EXPECT_EQ(Senders(kNotifyClick), QStringList{QStringLiteral("btn")});
}

TEST_F(ControlInput, EditsTypeThroughANativeEditorThatKeepsTheirRules) {
  auto* edit = window_.FindAs<CEditUI>(QStringLiteral("ed"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetNativeEdit(), nullptr);
  test::Click(window_, edit);
  QLineEdit* native = edit->GetNativeEdit();
  ASSERT_NE(native, nullptr);
  EXPECT_TRUE(native->isVisible());
  QTest::keyClicks(native, QStringLiteral("12ab345678"));
  test::Pump();
  EXPECT_EQ(edit->GetText(), QStringLiteral("12345"));
  EXPECT_FALSE(window_.Notifications(kNotifyTextChanged).empty());
  QTest::keyClick(native, Qt::Key_Return);
  test::Pump();
  EXPECT_EQ(Senders(kNotifyReturn), QStringList{QStringLiteral("ed")});
  // Leaving the edit removes the editor; the control shows the text itself.
  test::Click(window_, Find("btn"));
  EXPECT_TRUE(test::PumpUntil([&] { return edit->GetNativeEdit() == nullptr; }));
  EXPECT_EQ(edit->GetText(), QStringLiteral("12345"));
}

TEST_F(ControlInput, TextLinksReportTheirIndex) {
  auto* text = window_.FindAs<CTextUI>(QStringLiteral("link"));
  ASSERT_NE(text, nullptr);
  ASSERT_EQ(text->GetLinkCount(), 1);
  EXPECT_EQ(text->GetLinkContent(0), QStringLiteral("https://example.org"));
  const UiRect rc = text->GetPos();
  // The link follows "go ": find a point on it by scanning the control.
  QPoint onLink(-1, -1);
  for (int x = rc.left; x < rc.right && onLink.x() < 0; ++x) {
    QTest::mouseMove(Widget(), QPoint(x, rc.top + 9));
    if (text->GetCursor() == Qt::PointingHandCursor) onLink = QPoint(x + 3, rc.top + 9);
  }
  ASSERT_GE(onLink.x(), 0);
  test::ClickAt(Widget(), onLink);
  const auto links = window_.Notifications(kNotifyLink);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].wParam, 0u);
  test::ClickAt(Widget(), QPoint(rc.left + 2, rc.top + 9));
  EXPECT_EQ(window_.Notifications(kNotifyLink).size(), 1u);
}

TEST_F(ControlInput, CaptionDragsOverLabelsOnlyAndBordersResize) {
  const auto hit = [&](QPoint client) {
    return window_.SendMessage(WM_NCHITTEST, 0, LParamFromPoint(Widget()->mapToGlobal(client)));
  };
  EXPECT_EQ(hit(test::CenterOf(Find("title"))), HTCAPTION);
  EXPECT_EQ(hit(test::CenterOf(Find("btn"))), HTCLIENT);
  EXPECT_EQ(hit(test::CenterOf(Find("link"))), HTCLIENT);
  EXPECT_EQ(hit(test::CenterOf(Find("cb"))), HTCLIENT);
  EXPECT_EQ(hit(QPoint(1, 200)), HTLEFT);
  EXPECT_EQ(hit(QPoint(1, 1)), HTTOPLEFT);
  EXPECT_EQ(hit(QPoint(418, 418)), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(test::CenterOf(Find("inner"))), HTCLIENT);  // below the caption band
  // Dragging the caption moves the window.
  const QPoint before = Widget()->pos();
  const QPoint grip = test::CenterOf(Find("title"));
  QTest::mousePress(Widget(), Qt::LeftButton, {}, grip);
  QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(30, 20)), QPointF(Widget()->mapToGlobal(grip + QPoint(30, 20))),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Widget(), &move);
  QTest::mouseRelease(Widget(), Qt::LeftButton, {}, grip + QPoint(30, 20));
  EXPECT_EQ(Widget()->pos(), before + QPoint(30, 20));
}

TEST_F(ControlInput, TooltipsShowAfterHoveringAndWindowInitComesOnce) {
  QTest::mouseMove(Widget(), test::CenterOf(Find("btn")));
  EXPECT_TRUE(test::PumpUntil([] { return QToolTip::isVisible(); }, 2000));
  EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("press me")));
  QTest::mouseMove(Widget(), test::CenterOf(Find("title")));
  EXPECT_TRUE(test::PumpUntil([] { return !QToolTip::isVisible(); }, 2000));
  test::TestWindow fresh(QString::fromUtf8(kLayout));
  ASSERT_TRUE(fresh.Open());
  test::Pump(30);
  const auto inits = fresh.Notifications(kNotifyWindowInit);
  ASSERT_EQ(inits.size(), 1u);
  EXPECT_EQ(inits[0].senderControl, fresh.GetPaintManager().GetRoot());
}

TEST_F(ControlInput, EscapeClosesAWindowWithOkAndCloseGivesItsCode) {
  test::TestWindow modal(QString::fromUtf8(kLayout));
  ASSERT_TRUE(modal.Open(Widget()));
  QTimer::singleShot(20, [&] { QTest::keyClick(modal.GetHWND(), Qt::Key_Escape); });
  EXPECT_EQ(modal.ShowModal(), IDOK);
  EXPECT_EQ(modal.GetHWND(), nullptr);
  test::TestWindow second(QString::fromUtf8(kLayout));
  ASSERT_TRUE(second.Open(Widget()));
  QTimer::singleShot(20, [&] { second.Close(IDCANCEL); });
  EXPECT_EQ(second.ShowModal(), IDCANCEL);
}

}  // namespace
}  // namespace kv::ui
