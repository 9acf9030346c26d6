// Moving the focus from the keyboard: Tab goes the way the controls stand, brings what it
// reaches into view, and the control it reaches wears a mark that a click takes away.
#include <gtest/gtest.h>

#include <QWidget>

#include "tests/uilib/gui_test_support.h"
#include "uilib/container.h"
#include "uilib/paint_manager.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

// The right-hand button comes first in the file but floats to the right; "nokey" takes no
// keyboard input; the tiles scroll.
const char* kLayout = R"(
<Window size="300,380" focusmarkcolor="#FFFF0000">
  <VerticalLayout bkcolor="#FFFFFFFF" inset="4,4,4,4">
    <HorizontalLayout height="40">
      <Button name="right" text="right" float="true" pos="200,5,280,35"/>
      <Button name="left" text="left" width="80" height="30"/>
      <Button name="nokey" text="x" width="40" height="30" keyboard="false"/>
    </HorizontalLayout>
    <TileLayout name="tiles" height="120" columns="1" itemsize="80,50" vscrollbar="true">
      <Button name="t0" text="0"/>
      <Button name="t1" text="1"/>
      <Button name="t2" text="2"/>
      <Button name="t3" text="3"/>
      <Button name="t4" text="4"/>
    </TileLayout>
    <CheckBox name="check" text="check" height="26" width="100"/>
    <Edit name="field" height="28"/>
    <List name="list" height="60" itemheight="20">
      <ListLabelElement name="row0" text="zero"/>
      <ListLabelElement name="row1" text="one"/>
    </List>
    <Button name="after" text="after" height="30"/>
  </VerticalLayout>
</Window>)";

class KeyboardFocus : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window_.Open()); }
  void TearDown() override {
    window_.DestroyWindow();
    test::Pump();
  }
  CControlUI* Find(const char* name) { return window_.Find(QString::fromLatin1(name)); }
  QString Focused() {
    CControlUI* focus = window_.GetPaintManager().GetFocus();
    return focus ? focus->GetName() : QString();
  }
  void Tab() { test::KeyClick(window_.GetHWND(), Qt::Key_Tab); }
  // Whether the control shows the mark's red just inside its left edge.
  bool Marked(const char* name) {
    window_.GetPaintManager().UpdateLayout();
    const QImage image = window_.GetHWND()->grab().toImage();
    const UiRect& rc = Find(name)->GetPos();
    const QColor pixel = image.pixelColor(rc.left + 1, rc.top + rc.Height() / 2);
    return pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80;
  }

  test::TestWindow window_{QString::fromUtf8(kLayout)};
};

TEST_F(KeyboardFocus, TabFollowsThePlacesOfTheControlsAndBringsThemIntoView) {
  QStringList visited;
  for (int i = 0; i < 12; ++i) {
    Tab();
    visited << Focused();
  }
  EXPECT_EQ(visited, (QStringList{"left", "right", "t0", "t1", "t2", "t3", "t4", "check", "field", "list", "after", "left"}));
  Tab();
  Tab();
  Tab();
  Tab();
  Tab();
  Tab();
  ASSERT_EQ(Focused(), QStringLiteral("t4"));
  auto* tiles = ui_cast<CContainerUI>(Find("tiles"));
  const UiRect view = tiles->GetPos().Deflated(tiles->ContentInsets());
  EXPECT_GE(Find("t4")->GetPos().top, view.top);
  EXPECT_LE(Find("t4")->GetPos().bottom, view.bottom);
  test::KeyClick(window_.GetHWND(), Qt::Key_Backtab, Qt::ShiftModifier);
  test::KeyClick(window_.GetHWND(), Qt::Key_Backtab, Qt::ShiftModifier);
  test::KeyClick(window_.GetHWND(), Qt::Key_Backtab, Qt::ShiftModifier);
  test::KeyClick(window_.GetHWND(), Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_EQ(Focused(), QStringLiteral("t0"));
  EXPECT_GE(Find("t0")->GetPos().top, view.top);
}

TEST_F(KeyboardFocus, WhatTabReachesWearsTheMarkUntilAClick) {
  EXPECT_FALSE(Marked("left"));
  Tab();
  EXPECT_TRUE(Marked("left"));
  EXPECT_FALSE(Marked("right"));
  test::SaveScreenshot(window_.GetHWND(), QStringLiteral("focus_mark_button"));
  // A click moves the focus without a mark.
  test::Click(window_, Find("right"));
  EXPECT_EQ(Focused(), QStringLiteral("right"));
  EXPECT_FALSE(Marked("right"));
  EXPECT_FALSE(Marked("left"));
  // Check boxes and fields wear it too.
  for (int i = 0; i < 10 && Focused() != u"check"; ++i) Tab();
  ASSERT_EQ(Focused(), QStringLiteral("check"));
  EXPECT_TRUE(Marked("check"));
  Tab();
  ASSERT_EQ(Focused(), QStringLiteral("field"));
  EXPECT_TRUE(Marked("field"));
  EXPECT_FALSE(Marked("check"));
  // A list keeps the mark while the arrows move the focus to its rows, and Tab goes on from it.
  Tab();
  ASSERT_EQ(Focused(), QStringLiteral("list"));
  test::KeyClick(window_.GetHWND(), Qt::Key_Down);
  ASSERT_EQ(Focused(), QStringLiteral("row0"));
  EXPECT_TRUE(Marked("list"));
  EXPECT_FALSE(Marked("field"));
  Tab();
  EXPECT_EQ(Focused(), QStringLiteral("after"));
  EXPECT_TRUE(Marked("after"));
  EXPECT_FALSE(Marked("list"));
}

}  // namespace
}  // namespace kv::ui
