#include "dialogs/menu_wnd.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "tests/dialogs/menu_fixture.h"
#include "tests/uilib/gui_test_support.h"

namespace kv::ui {
namespace {

const char* kFrameLayout =
    "<Window size=\"600,400\"><VerticalLayout name=\"Main_Background\" bkcolor=\"#FFF3F3E1\"/></Window>";

class PopupMenu : public test_menu::MenuFixture {
 protected:
  PopupMenu() : MenuFixture(kFrameLayout) {}

  void SetUp() override {
    ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
    MenuFixture::SetUp();
  }

  // Opens the instance menu at a point of the frame; returns its window.
  CMenuWnd* Open(QPoint screen) {
    CMenuWnd* menu = OpenMenu(QStringLiteral("xmls\\Instance_Menu.xml"), screen);
    test::Pump(10);
    return menu;
  }
  bool Closed() {
    return test::PumpUntil([&] { return !widget_ || !widget_->isVisible(); }) &&
           CMenuWnd::ContextMenuObserver().Receivers().empty();
  }
};

TEST_F(PopupMenu, ChoosingAnItemPostsItsNameAndClosesTheMenu) {
  CMenuWnd* menu = Open(frame_.GetHWND()->mapToGlobal(QPoint(40, 40)));
  ASSERT_NE(menu->GetMenuRoot(), nullptr);
  // Five items and four separators: 5 x 24 + 4 x 10 plus the insets, as wide as the widest item.
  EXPECT_EQ(widget_->size(), QSize(150 + 6, 5 * 24 + 4 * 10 + 8));
  QTest::mouseMove(widget_, test::CenterOf(menu->GetPaintManager().FindControl(QStringLiteral("Menu_Instance_Add"))));
  test::Pump(20);
  test::SaveScreenshot(widget_, QStringLiteral("instance_menu"));

  test::Click(*menu, menu->GetPaintManager().FindControl(QStringLiteral("Menu_Instance_Del")));
  ASSERT_TRUE(Closed());
  test::Pump(10);
  const auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].item, QStringLiteral("Menu_Instance_Del"));
  EXPECT_EQ(commands[0].lParam, 0);
}

TEST_F(PopupMenu, EscapeAndClicksOutsideCloseWithoutACommand) {
  Open(frame_.GetHWND()->mapToGlobal(QPoint(40, 40)));
  test::KeyClick(widget_, Qt::Key_Escape);
  EXPECT_TRUE(Closed());

  Open(frame_.GetHWND()->mapToGlobal(QPoint(40, 40)));
  test::ClickAt(widget_, QPoint(-30, -30));
  EXPECT_TRUE(Closed());
  test::Pump(10);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(PopupMenu, RightClicksAndSeparatorsDoNothing) {
  CMenuWnd* menu = Open(frame_.GetHWND()->mapToGlobal(QPoint(40, 40)));
  CMenuUI* root = menu->GetMenuRoot();
  ASSERT_EQ(root->GetCount(), 9);
  auto* separator = static_cast<CMenuElementUI*>(root->GetItemAt(1));
  EXPECT_TRUE(separator->IsSeparator());
  EXPECT_EQ(separator->GetHeight(), 10);
  test::ClickAt(widget_, test::CenterOf(separator));
  test::ClickAt(widget_, test::CenterOf(root->GetItemAt(2)), Qt::RightButton);
  test::Pump(20);
  EXPECT_TRUE(widget_ && widget_->isVisible());
  EXPECT_TRUE(Commands().empty());
  // The pointer left 删除 selected; the keyboard moves on past the separator.
  test::KeyClick(widget_, Qt::Key_Down);
  test::KeyClick(widget_, Qt::Key_Return);
  EXPECT_TRUE(Closed());
  test::Pump(10);
  ASSERT_EQ(Commands().size(), 1u);
  EXPECT_EQ(Commands()[0].item, QStringLiteral("Menu_Instance_Rename"));
}

TEST_F(PopupMenu, OpensWhereAskedEvenAtTheScreenEdge) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint point(area.right() - 20, area.top() + 100);
  Open(point);
  EXPECT_EQ(widget_->geometry().topLeft(), point);
}

}  // namespace
}  // namespace kv::ui
