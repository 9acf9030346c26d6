// Where the layouts put their children.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "tests/uilib/gui_test_support.h"
#include "uilib/layouts.h"
#include "uilib/scroll_bar.h"

namespace kv::ui {
namespace {

class Layouts : public ::testing::Test {
 protected:
  // Builds `body` inside a window of the given size and lays it out.
  void Build(const QString& body, QSize size = {300, 200}) {
    window_ = std::make_unique<test::TestWindow>(
        QStringLiteral("<Window size=\"%1,%2\">%3</Window>").arg(size.width()).arg(size.height()).arg(body));
    ASSERT_TRUE(window_->Open());
  }
  UiRect Pos(const char* name) {
    CControlUI* c = window_->Find(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c ? c->GetPos() : UiRect{};
  }
  void Relayout() {
    window_->GetPaintManager().NeedUpdate();
    window_->GetPaintManager().UpdateLayout();
  }
  std::unique_ptr<test::TestWindow> window_;
};

TEST_F(Layouts, VerticalStacksFixedChildrenAndSharesTheRest) {
  Build(R"(<VerticalLayout inset="10,5,10,5" childpadding="4">
             <Control name="a" height="30"/>
             <Control name="b" padding="2,3,2,3"/>
             <Control name="c" width="50"/>
           </VerticalLayout>)",
        {300, 200});
  // 190 high inside the inset; fixed: 30 + 6 padding + 2 x 4 between = 44; 146 left for two.
  EXPECT_EQ(Pos("a"), (UiRect{10, 5, 290, 35}));
  EXPECT_EQ(Pos("b"), (UiRect{12, 42, 288, 115}));
  // The last adjustable child takes what rounding left over, and keeps its own width.
  EXPECT_EQ(Pos("c"), (UiRect{10, 122, 60, 195}));
}

TEST_F(Layouts, TheLastAdjustableChildTakesWhatClampingLeft) {
  Build(R"(<VerticalLayout>
             <Control name="a" maxheight="20"/>
             <Control name="b"/>
           </VerticalLayout>)",
        {100, 101});
  EXPECT_EQ(Pos("a").Height(), 20);
  EXPECT_EQ(Pos("b").Height(), 81);
}

TEST_F(Layouts, HorizontalIsTheMirrorImageWithVerticalAlignment) {
  Build(R"(<HorizontalLayout childpadding="10" childvalign="vcenter">
             <Control name="a" width="40" height="20"/>
             <Control name="b"/>
             <Control name="c" width="60"/>
           </HorizontalLayout>)",
        {300, 100});
  EXPECT_EQ(Pos("a"), (UiRect{0, 40, 40, 60}));
  EXPECT_EQ(Pos("b"), (UiRect{50, 0, 230, 100}));
  EXPECT_EQ(Pos("c"), (UiRect{240, 0, 300, 100}));
}

TEST_F(Layouts, TextControlsWantTheirFontHeightButNoMore) {
  Build(R"(<VerticalLayout><Label name="l" text="x"/><Button name="b" text="y" textpadding="0,2,0,2"/><Control/></VerticalLayout>)");
  const int font = QFontMetrics(window_->GetPaintManager().GetDefaultFont()).height();
  EXPECT_EQ(Pos("l").Height(), font + 8);
  EXPECT_EQ(Pos("b").Height(), font + 12);
}

TEST_F(Layouts, FloatingChildrenUsePosAndAnchors) {
  Build(R"(<VerticalLayout inset="20,20,20,20">
             <Control name="f" float="true" pos="5,6,25,16"/>
             <Control name="pin" float="1,0,1,0" pos="-30,5,-6,29"/>
             <Control name="neg" float="true" pos="-40,-30,-20,-10"/>
             <Control name="filler"/>
           </VerticalLayout>)",
        {300, 200});
  // Floating controls ignore the inset and take no part in the stacking.
  EXPECT_EQ(Pos("f"), (UiRect{5, 6, 25, 16}));
  EXPECT_EQ(Pos("pin"), (UiRect{270, 5, 294, 29}));
  EXPECT_EQ(Pos("neg"), (UiRect{260, 170, 280, 190}));
  EXPECT_EQ(Pos("filler"), (UiRect{20, 20, 280, 180}));
}

TEST_F(Layouts, TilesFillFixedCellsRowByRow) {
  Build(R"(<TileLayout name="t" itemsize="100,50" columns="2" childpadding="10" childvpadding="5">
             <Control name="a"/><Control name="b"/><Control name="c" width="40" height="20"/>
           </TileLayout>)",
        {300, 200});
  EXPECT_EQ(Pos("a"), (UiRect{0, 0, 100, 50}));
  EXPECT_EQ(Pos("b"), (UiRect{110, 0, 210, 50}));
  // Smaller children sit in the middle of their cell.
  EXPECT_EQ(Pos("c"), (UiRect{30, 70, 70, 90}));
}

TEST_F(Layouts, OneColumnOfTilesCentresAndScrolls) {
  Build(R"(<TileLayout name="t" columns="1" itemsize="100,100" vscrollbar="true">
             <Control name="a"/><Control name="b"/><Control name="c"/>
           </TileLayout>)",
        {108, 250});
  auto* tiles = window_->FindAs<CTileLayoutUI>(QStringLiteral("t"));
  ASSERT_TRUE(tiles->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(tiles->GetScrollRange().height(), 50);
  const int bar = tiles->GetVerticalScrollBar()->Thickness();
  EXPECT_EQ(Pos("a").left, std::max(0, (108 - bar - 100) / 2));
  tiles->SetScrollPos({0, 30});
  EXPECT_EQ(Pos("b").top, 70);
  // Without the overflow the bar goes and the position resets.
  tiles->Remove(window_->Find(QStringLiteral("c")));
  Relayout();
  EXPECT_FALSE(tiles->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(tiles->GetScrollPos(), QSize(0, 0));
  EXPECT_EQ(Pos("a"), (UiRect{4, 0, 104, 100}));
}

TEST_F(Layouts, TabsShowOnePageAndReportTheChange) {
  Build(R"(<TabLayout name="tab" selectedid="1">
             <Control name="p0"/><VerticalLayout name="p1"><Control name="inner"/></VerticalLayout><Control name="p2"/>
           </TabLayout>)");
  auto* tab = window_->FindAs<CTabLayoutUI>(QStringLiteral("tab"));
  EXPECT_EQ(tab->GetCurSel(), 1);
  EXPECT_FALSE(window_->Find(QStringLiteral("p0"))->IsVisible());
  EXPECT_TRUE(window_->Find(QStringLiteral("inner"))->IsVisible());
  EXPECT_EQ(Pos("p1"), (UiRect{0, 0, 300, 200}));
  window_->ClearRecords();
  EXPECT_TRUE(tab->SelectItem(2));
  const auto changes = window_->Notifications(kNotifyTabSelect);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].wParam, 2u);
  EXPECT_EQ(changes[0].lParam, 1);
  EXPECT_FALSE(window_->Find(QStringLiteral("inner"))->IsVisibleInTree());
  EXPECT_TRUE(tab->SelectItem(2));
  EXPECT_EQ(window_->Notifications(kNotifyTabSelect).size(), 1u);
  EXPECT_FALSE(tab->SelectItem(7));
}

TEST_F(Layouts, AnimatedTabsArriveAtTheSamePlace) {
  Build(R"(<AnimationTabLayout name="tab"><Control name="p0"/><Control name="p1"/></AnimationTabLayout>)");
  auto* tab = window_->FindAs<CAnimationTabLayoutUI>(QStringLiteral("tab"));
  ASSERT_NE(tab, nullptr);
  tab->SelectItem(1);
  Relayout();
  EXPECT_GT(Pos("p1").left, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return !tab->IsAnimating(); }));
  Relayout();
  EXPECT_EQ(Pos("p1"), (UiRect{0, 0, 300, 200}));
}

TEST_F(Layouts, HiddenContainersHideTheirSubtreeFromThePointer) {
  Build(R"(<VerticalLayout><VerticalLayout name="box" height="100"><Button name="b" text="b"/></VerticalLayout><Control/></VerticalLayout>)");
  const QPoint inside = test::CenterOf(window_->Find(QStringLiteral("b")));
  EXPECT_EQ(window_->GetPaintManager().FindControl(inside), window_->Find(QStringLiteral("b")));
  window_->Find(QStringLiteral("box"))->SetVisible(false);
  Relayout();
  EXPECT_FALSE(window_->Find(QStringLiteral("b"))->IsVisible());
  EXPECT_NE(window_->GetPaintManager().FindControl(inside), window_->Find(QStringLiteral("b")));
  window_->Find(QStringLiteral("box"))->SetVisible(true);
  EXPECT_TRUE(window_->Find(QStringLiteral("b"))->IsVisible());
}

}  // namespace
}  // namespace kv::ui
