// Lists with columns and text callbacks, header items, and scrolling by bar and wheel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "tests/uilib/gui_test_support.h"
#include "uilib/list.h"
#include "uilib/scroll_bar.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

const char* kLayout = R"(
<Window size="400,300">
  <VerticalLayout bkcolor="#FFFFFFFF">
    <List name="list" vscrollbar="true" itemheight="20" itemshowhtml="true">
      <ListHeader height="24">
        <ListHeaderItem name="h0" text="版本" width="150"/>
        <ListHeaderItem name="h1" text="类型" width="100"/>
      </ListHeader>
    </List>
  </VerticalLayout>
</Window>)";

// Texts from a table, noting what the list asked for.
class Table : public IListCallbackUI {
 public:
  QString GetItemText(CControlUI*, int index, int subItem) override {
    asked.emplace_back(index, subItem);
    if (subItem > 1) return {};
    return subItem == 0 ? QStringLiteral("v%1").arg(index) : QStringLiteral("release");
  }
  std::vector<std::pair<int, int>> asked;
};

class Lists : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Open());
    list_ = window_.FindAs<CListUI>(QStringLiteral("list"));
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override {
    window_.DestroyWindow();
    test::Pump();
  }
  void AddRows(int count) {
    for (int i = 0; i < count; ++i) list_->Add(new CListTextElementUI());
    window_.GetPaintManager().UpdateLayout();
  }
  test::TestWindow window_{QString::fromUtf8(kLayout)};
  CListUI* list_ = nullptr;
};

TEST_F(Lists, RowsDrawTheirColumnsFromTheCallback) {
  Table table;
  list_->SetTextCallback(&table);
  AddRows(3);
  test::Pump(20);
  window_.GetHWND()->repaint();
  // Row i, columns 0 and 1 (and nothing beyond the header's columns).
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 2; ++column) {
      EXPECT_NE(std::find(table.asked.begin(), table.asked.end(), std::make_pair(row, column)), table.asked.end());
    }
  }
  EXPECT_EQ(std::count_if(table.asked.begin(), table.asked.end(), [](auto a) { return a.second > 1; }), 0);
  EXPECT_EQ(list_->GetListInfo()->columns, 2);
  EXPECT_EQ(list_->GetListInfo()->columnRects[1].left, 150);
  test::SaveScreenshot(window_.GetHWND(), QStringLiteral("sample_list"));
  list_->SetTextCallback(nullptr);
}

TEST_F(Lists, HeaderItemsReportClicksAndResizeTheirColumnByTheSeparator) {
  CControlUI* first = window_.Find(QStringLiteral("h0"));
  test::Click(window_, first);
  const auto clicks = window_.Notifications(kNotifyHeaderClick);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].sender, QStringLiteral("h0"));
  // Drag the separator at the right edge 40 pixels to the right.
  const QPoint grip(first->GetPos().right - 2, first->GetPos().top + 10);
  QTest::mousePress(window_.GetHWND(), Qt::LeftButton, {}, grip);
  QTest::mouseMove(window_.GetHWND(), grip + QPoint(40, 0));
  QTest::mouseRelease(window_.GetHWND(), Qt::LeftButton, {}, grip + QPoint(40, 0));
  window_.GetPaintManager().UpdateLayout();
  EXPECT_EQ(first->GetWidth(), 190);
  EXPECT_EQ(list_->GetListInfo()->columnRects[1].left, 190);
  EXPECT_EQ(window_.Notifications(kNotifyHeaderClick).size(), 1u);
}

TEST_F(Lists, RemovingRowsKeepsIndexesAndTheSelectionRight) {
  AddRows(5);
  ASSERT_TRUE(list_->SelectItem(3));
  CControlUI* third = list_->GetItemAt(3);
  ASSERT_TRUE(list_->RemoveAt(1));
  EXPECT_EQ(list_->GetCurSel(), 2);
  EXPECT_EQ(list_->GetItemIndex(third), 2);
  EXPECT_EQ(ui_cast<IListItemUI>(third)->GetIndex(), 2);
  ASSERT_TRUE(list_->Remove(third));
  EXPECT_EQ(list_->GetCurSel(), -1);
  EXPECT_EQ(list_->GetCount(), 3);
  list_->RemoveAll();
  EXPECT_EQ(list_->GetCount(), 0);
  EXPECT_FALSE(list_->SelectItem(0));
}

TEST_F(Lists, TheScrollBarThumbRailAndWheelMoveTheRows) {
  AddRows(40);  // 800 pixels of rows in a body of 276
  CScrollBarUI* bar = list_->GetList()->GetVerticalScrollBar();
  ASSERT_TRUE(bar->IsVisible());
  const int visible = list_->GetList()->GetPos().Height();
  EXPECT_EQ(bar->GetScrollRange(), 800 - visible);
  // The thumb shows the visible share of the content.
  EXPECT_NEAR(bar->ThumbRect().Height(), bar->GetPos().Height() * visible / 800, 1);

  QWidget* widget = window_.GetHWND();
  const QPoint middle = test::CenterOf(list_->GetItemAt(2));
  QWheelEvent down(middle, widget->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &down);
  EXPECT_GT(bar->GetScrollPos(), 0);
  const int afterWheel = bar->GetScrollPos();

  // A click on the rail below the thumb pages down.
  const UiRect thumb = bar->ThumbRect();
  test::ClickAt(widget, QPoint(thumb.left + 2, thumb.bottom + 10));
  EXPECT_EQ(bar->GetScrollPos(), afterWheel + bar->GetPos().Height());

  // Dragging the thumb to the end shows the last row at the bottom.
  const UiRect now = bar->ThumbRect();
  const QPoint start(now.left + 2, now.top + now.Height() / 2);
  QTest::mousePress(widget, Qt::LeftButton, {}, start);
  QTest::mouseMove(widget, start + QPoint(0, 400));
  QTest::mouseRelease(widget, Qt::LeftButton, {}, start + QPoint(0, 400));
  EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange());
  window_.GetPaintManager().UpdateLayout();
  EXPECT_EQ(list_->GetItemAt(39)->GetPos().bottom, list_->GetList()->GetPos().bottom);

  // A long list still leaves a thumb that can be seen and taken.
  AddRows(1000);
  EXPECT_GE(bar->ThumbRect().Height(), 24);
}

}  // namespace
}  // namespace kv::ui
