#pragma once

#include <gtest/gtest.h>

#include <QPointer>
#include <QWidget>
#include <vector>

#include "dialogs/menu_wnd.h"
#include "dialogs/window_messages.h"
#include "tests/uilib/gui_test_support.h"

namespace kv::ui::test_menu {

// A frame that records the menu commands it is sent, and opens menus of a layout over itself;
// every menu still open is closed after each test.
class MenuFixture : public ::testing::Test {
 protected:
  explicit MenuFixture(const char* frameLayout) : frame_(QString::fromLatin1(frameLayout)) {}

  void SetUp() override {
    // The item's name is lent for the handling of the message: it is copied there.
    frame_.onMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
      if (msg == WMU_MENU_COMMAND) commands_.push_back({MenuCommandItem(wParam), lParam});
    };
    ASSERT_TRUE(frame_.Open());
  }
  void TearDown() override {
    CMenuWnd::ContextMenuObserver().Broadcast({1, nullptr});
    test::Pump(20);
    frame_.DestroyWindow();
    test::Pump();
  }

  // Opens the menu of `layout` at a point of the screen and waits until it shows.
  CMenuWnd* OpenMenu(const QString& layout, QPoint screen) {
    auto* menu = new CMenuWnd();
    menu->Init(nullptr, layout, &frame_.GetPaintManager(), screen);
    widget_ = menu->GetHWND();
    test::PumpUntil([&] { return widget_ && widget_->isVisible(); });
    return menu;
  }

  struct Command {
    QString item;
    LPARAM lParam;
  };
  const std::vector<Command>& Commands() const { return commands_; }

  test::TestWindow frame_;
  QPointer<QWidget> widget_;
  std::vector<Command> commands_;
};

}  // namespace kv::ui::test_menu
