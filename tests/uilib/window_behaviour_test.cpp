// Window-level behaviour: maximise and restore, placement, opacity, round corners, sliders.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "tests/uilib/gui_test_support.h"
#include "uilib/progress.h"

namespace kv::ui {
namespace {

const char* kLayout = R"(
<Window size="300,200" mininfo="250,150" caption="0,0,0,30" roundcorner="8,8" alpha="200">
  <VerticalLayout bkcolor="#FFF3F3E1">
    <HorizontalLayout height="30" bkcolor="#FFE3DB9A">
      <Label name="title" text="标题" width="100" height="30"/>
      <Control/>
      <Button name="maxbtn" text="max" width="40" height="20"/>
      <Button name="restorebtn" text="restore" width="40" height="20" visible="false"/>
    </HorizontalLayout>
    <Slider name="slider" height="20" min="0" max="10" value="2"/>
  </VerticalLayout>
</Window>)";

class WindowBehaviour : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window_.Open()); }
  void TearDown() override {
    window_.DestroyWindow();
    test::Pump();
  }
  test::TestWindow window_{QString::fromUtf8(kLayout)};
};

TEST_F(WindowBehaviour, MaximiseAndRestoreSwapTheirButtons) {
  QWidget* widget = window_.GetHWND();
  EXPECT_EQ(widget->minimumSize(), QSize(250, 150));
  test::Click(window_, window_.Find(QStringLiteral("maxbtn")));
  ASSERT_TRUE(test::PumpUntil([&] { return widget->isMaximized(); }));
  EXPECT_FALSE(window_.Find(QStringLiteral("maxbtn"))->IsVisible());
  EXPECT_TRUE(window_.Find(QStringLiteral("restorebtn"))->IsVisible());
  // Maximised windows are not cut to round corners.
  EXPECT_TRUE(widget->mask().isEmpty());
  window_.GetPaintManager().UpdateLayout();
  test::Click(window_, window_.Find(QStringLiteral("restorebtn")));
  ASSERT_TRUE(test::PumpUntil([&] { return !widget->isMaximized(); }));
  EXPECT_TRUE(window_.Find(QStringLiteral("maxbtn"))->IsVisible());
  // A double click on the caption maximises too.
  window_.GetPaintManager().UpdateLayout();
  QTest::mouseDClick(widget, Qt::LeftButton, {}, test::CenterOf(window_.Find(QStringLiteral("title"))));
  EXPECT_TRUE(test::PumpUntil([&] { return widget->isMaximized(); }));
  EXPECT_TRUE(window_.Find(QStringLiteral("restorebtn"))->IsVisible());
}

// The pointer as the window system reports it to the window, at a point of the window.
void SendPointer(QWidget* widget, QEvent::Type type, QPoint client, Qt::MouseButtons buttons) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(client), QPointF(widget->mapToGlobal(client)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

TEST_F(WindowBehaviour, TheCaptionMovesTheWindowOnlyOnceThePointerTravelsWithTheButtonHeld) {
  QWidget* widget = window_.GetHWND();
  const QPoint start = widget->pos();
  const QPoint caption = test::CenterOf(window_.Find(QStringLiteral("title")));
  // A click that lets go at once leaves the window where it is, and the pointer moving on
  // afterwards does not take it along.
  SendPointer(widget, QEvent::MouseButtonPress, caption, Qt::LeftButton);
  SendPointer(widget, QEvent::MouseMove, caption + QPoint(2, 1), Qt::LeftButton);
  SendPointer(widget, QEvent::MouseButtonRelease, caption + QPoint(2, 1), Qt::NoButton);
  SendPointer(widget, QEvent::MouseMove, caption + QPoint(40, 30), Qt::NoButton);
  test::Pump(20);
  EXPECT_EQ(widget->pos(), start);

  // Held and dragged, the window follows the pointer from where it was pressed.
  SendPointer(widget, QEvent::MouseButtonPress, caption, Qt::LeftButton);
  SendPointer(widget, QEvent::MouseMove, caption + QPoint(20, 10), Qt::LeftButton);
  SendPointer(widget, QEvent::MouseButtonRelease, caption + QPoint(20, 10), Qt::NoButton);
  test::Pump(20);
  EXPECT_EQ(widget->pos(), start + QPoint(20, 10));
}

TEST(WindowResize, DraggingTheEdgeLaysTheContentOutAgain) {
  test::TestWindow window(QStringLiteral("<Window size=\"300,200\" sizebox=\"4,4,4,4\" caption=\"0,0,0,30\">"
                                         "<HorizontalLayout name=\"root\"><Control/>"
                                         "<Control name=\"right\" width=\"50\"/></HorizontalLayout></Window>"));
  ASSERT_TRUE(window.Open());
  QWidget* widget = window.GetHWND();
  const QPoint edge(widget->width() - 2, 100);
  SendPointer(widget, QEvent::MouseButtonPress, edge, Qt::LeftButton);
  SendPointer(widget, QEvent::MouseMove, edge + QPoint(60, 0), Qt::LeftButton);
  SendPointer(widget, QEvent::MouseMove, edge + QPoint(100, 0), Qt::LeftButton);
  SendPointer(widget, QEvent::MouseButtonRelease, edge + QPoint(100, 0), Qt::NoButton);
  ASSERT_TRUE(test::PumpUntil([&] { return widget->width() == 400; }));
  widget->repaint();
  test::Pump(20);
  EXPECT_EQ(window.Find(QStringLiteral("root"))->GetPos().Width(), 400);
  EXPECT_EQ(window.Find(QStringLiteral("right"))->GetPos().right, 400);
  window.DestroyWindow();
}

TEST_F(WindowBehaviour, RoundCornersOpacityAndPlacement) {
  QWidget* widget = window_.GetHWND();
  EXPECT_DOUBLE_EQ(widget->windowOpacity(), 200 / 255.0);
  const QRegion mask = widget->mask();
  EXPECT_FALSE(mask.contains(QPoint(0, 0)));
  EXPECT_TRUE(mask.contains(QPoint(150, 100)));
  EXPECT_TRUE(mask.contains(QPoint(299, 100)));
  // All four corners are cut alike.
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = mask.contains(QPoint(x, y));
      EXPECT_EQ(mask.contains(QPoint(299 - x, y)), inside) << x << "," << y;
      EXPECT_EQ(mask.contains(QPoint(x, 199 - y)), inside) << x << "," << y;
      EXPECT_EQ(mask.contains(QPoint(299 - x, 199 - y)), inside) << x << "," << y;
    }
  }
  const QImage shot = test::SaveScreenshot(widget, QStringLiteral("sample_window"));
  EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 0);

  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  RightWindow(widget);
  EXPECT_EQ(widget->geometry().right(), area.right());
  EXPECT_EQ(widget->geometry().center().y(), area.center().y());
  window_.CenterWindow();
  EXPECT_LE((widget->geometry().center() - area.center()).manhattanLength(), 2);
}

TEST_F(WindowBehaviour, SlidersFollowThePointerAndReportChanges) {
  auto* slider = window_.FindAs<CSliderUI>(QStringLiteral("slider"));
  ASSERT_NE(slider, nullptr);
  const UiRect rc = slider->GetPos();
  test::ClickAt(window_.GetHWND(), QPoint(rc.left + rc.Width() * 7 / 10, rc.top + 10));
  EXPECT_EQ(slider->GetValue(), 7);
  const auto changes = window_.Notifications(kNotifyValueChanged);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].sender, QStringLiteral("slider"));
  test::KeyClick(window_.GetHWND(), Qt::Key_Left);
  EXPECT_EQ(slider->GetValue(), 6);
}

TEST(ToolTips, TakeTheSkinsColoursAndTheWindowsFont) {
  test::TestWindow window(QStringLiteral(
      "<Window size=\"200,100\" tooltipbkcolor=\"#FFFFFDF4\" tooltiptextcolor=\"#FF4A3F1F\" tooltiphovertime=\"20\">"
      "<Font id=\"0\" name=\"微软雅黑\" size=\"13\" default=\"true\"/>"
      "<VerticalLayout><Button name=\"set\" tooltip=\"设置\" width=\"60\" height=\"30\"/></VerticalLayout></Window>"));
  ASSERT_TRUE(window.Open());
  QTest::mouseMove(window.GetHWND(), test::CenterOf(window.Find(QStringLiteral("set"))));
  QWidget* tip = nullptr;
  ASSERT_TRUE(test::PumpUntil([&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->inherits("QTipLabel") && w->isVisible()) tip = w;
    }
    return tip != nullptr;
  }));
  EXPECT_EQ(tip->palette().color(QPalette::ToolTipBase), QColor(0xFF, 0xFD, 0xF4));
  EXPECT_EQ(tip->palette().color(QPalette::ToolTipText), QColor(0x4A, 0x3F, 0x1F));
  EXPECT_EQ(tip->font().pixelSize(), 13);
  test::SaveScreenshot(tip, QStringLiteral("tooltip"));
  window.DestroyWindow();
}

TEST(Shadows, APlainShadowDarkensAroundTheWindowOnly) {
  test::TestWindow window(QStringLiteral(
      "<Window size=\"120,80\" showshadow=\"true\" shadowsize=\"8\" shadowdarkness=\"200\" shadowcolor=\"#FF000000\">"
      "<VerticalLayout bkcolor=\"#FFFFFFFF\"/></Window>"));
  ASSERT_TRUE(window.Open());
  const QImage shot = test::SaveScreenshot(window.GetHWND(), QStringLiteral("plain_shadow"));
  ASSERT_EQ(shot.size(), QSize(136, 96));
  EXPECT_GT(qAlpha(shot.pixel(4, 48)), 0);
  EXPECT_GT(qAlpha(shot.pixel(7, 48)), qAlpha(shot.pixel(1, 48)));
  EXPECT_EQ(shot.pixel(60, 48), 0xFFFFFFFFu);
  window.DestroyWindow();
  // Said off, a shadow picture draws nothing.
  test::TestWindow off(QStringLiteral("<Window size=\"50,50\" showshadow=\"false\" shadowimage=\"x.png\" shadowsize=\"8\">"
                                      "<Control/></Window>"));
  ASSERT_TRUE(off.Open());
  EXPECT_TRUE(off.GetPaintManager().GetShadow().Margins().IsNull());
  off.DestroyWindow();
}

}  // namespace
}  // namespace kv::ui
