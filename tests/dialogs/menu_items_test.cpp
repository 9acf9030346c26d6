// Check items, sub-menus and the observer that closes all menus.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "dialogs/menu_wnd.h"
#include "tests/dialogs/menu_fixture.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

const char* kMenu = R"xml(<Window>
  <Default name="Menu" value="inset=&quot;2,2,2,2&quot; bkcolor=&quot;#FFFFFFFF&quot; itemtextpadding=&quot;35,0,0,0&quot;"/>
  <Menu>
    <MenuElement name="Menu_Sound" text="声音" checkitem="true" ischeck="true" icon="test\tick.png"/>
    <MenuElement name="Menu_More" text="更多" expland="true">
      <MenuElement name="Menu_Sub_A" text="A"/>
      <MenuElement name="Menu_Sub_B" text="B"/>
    </MenuElement>
  </Menu>
</Window>)xml";

class MenuItems : public test_menu::MenuFixture {
 protected:
  MenuItems() : MenuFixture("<Window size=\"400,300\"><VerticalLayout bkcolor=\"#FFFFFFFF\"/></Window>") {}

  void SetUp() override {
    SkinResources::Instance().AddFile(QStringLiteral("test/menu.xml"), QByteArray(kMenu));
    SkinResources::Instance().AddFile(QStringLiteral("test/tick.png"), test::SolidPng(16, 16, 0xFF008800));
    MenuFixture::SetUp();
  }
  CMenuWnd* Open() { return OpenMenu(QStringLiteral("test\\menu.xml"), frame_.GetHWND()->mapToGlobal(QPoint(20, 20))); }
};

TEST_F(MenuItems, CheckItemsToggleAndRememberTheirStateBetweenOpenings) {
  CMenuWnd::CheckStates().erase(QStringLiteral("Menu_Sound"));
  CMenuWnd* menu = Open();
  auto* sound = static_cast<CMenuElementUI*>(menu->GetPaintManager().FindControl(QStringLiteral("Menu_Sound")));
  ASSERT_NE(sound, nullptr);
  EXPECT_TRUE(sound->GetChecked());
  test::Click(*menu, sound);
  test::Pump(20);
  ASSERT_EQ(Commands().size(), 1u);
  EXPECT_EQ(Commands()[0].item, QStringLiteral("Menu_Sound"));
  EXPECT_EQ(Commands()[0].lParam, 0);  // unchecked by this click
  // The layout's ischeck does not override the state kept from the last opening.
  menu = Open();
  sound = static_cast<CMenuElementUI*>(menu->GetPaintManager().FindControl(QStringLiteral("Menu_Sound")));
  EXPECT_FALSE(sound->GetChecked());
  test::Click(*menu, sound);
  test::Pump(20);
  ASSERT_EQ(Commands().size(), 2u);
  EXPECT_EQ(Commands()[1].lParam, 1);
}

TEST_F(MenuItems, SubMenusOpenBesideTheirItemAndGiveTheirItemsBack) {
  CMenuWnd* menu = Open();
  auto* more = static_cast<CMenuElementUI*>(menu->GetPaintManager().FindControl(QStringLiteral("Menu_More")));
  ASSERT_NE(more, nullptr);
  ASSERT_TRUE(more->HasSubMenu());
  // The sub-items live in the sub-menu, not in the item.
  EXPECT_FALSE(menu->GetPaintManager().FindControl(QStringLiteral("Menu_Sub_A"))->IsVisible());
  test::Click(*menu, more);
  test::Pump(20);
  CMenuWnd* sub = more->GetSubMenuWindow();
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->GetMenuRoot()->GetCount(), 2);
  EXPECT_GE(sub->GetHWND()->geometry().left(), menu->GetHWND()->geometry().right());
  EXPECT_EQ(CMenuWnd::ContextMenuObserver().Receivers().size(), 2u);
  // Choosing in the sub-menu reports to the frame and closes both menus.
  test::Click(*sub, sub->GetPaintManager().FindControl(QStringLiteral("Menu_Sub_B")));
  EXPECT_TRUE(test::PumpUntil([] { return CMenuWnd::ContextMenuObserver().Receivers().empty(); }));
  test::Pump(10);
  ASSERT_EQ(Commands().size(), 1u);
  EXPECT_EQ(Commands()[0].item, QStringLiteral("Menu_Sub_B"));
}

// A receiver that notes what it was told and may leave while being told.
class Listener : public ReceiverImpl {
 public:
  Listener(std::vector<int>* log, int id, bool leave) : log_(log), id_(id), leave_(leave) {}
  bool Receive(ContextMenuParam param) override {
    log_->push_back(id_ * 10 + static_cast<int>(param.wParam));
    if (leave_) RemoveObserver();
    return true;
  }

 private:
  std::vector<int>* log_;
  int id_;
  bool leave_;
};

TEST(MenuObserver, BroadcastsReachEveryReceiverNewestFirst) {
  std::vector<int> log;
  ObserverImpl observer;
  {
    Listener first(&log, 1, false);
    Listener second(&log, 2, true);
    Listener third(&log, 3, false);
    observer.AddReceiver(&first);
    observer.AddReceiver(&second);
    observer.AddReceiver(&third);
    observer.Broadcast({1, nullptr});
    EXPECT_EQ(log, (std::vector<int>{31, 21, 11}));
    EXPECT_EQ(observer.Receivers().size(), 2u);
  }
  // Receivers that go leave the observer.
  EXPECT_TRUE(observer.Receivers().empty());
  observer.Broadcast({2, nullptr});
  EXPECT_EQ(log.size(), 3u);
}

}  // namespace
}  // namespace kv::ui
