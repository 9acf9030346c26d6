#include "uilib/window_placement.h"

#include <gtest/gtest.h>

namespace kv::ui {
namespace {

constexpr QSize kLog(640, 492);
constexpr QSize kNarrowest(480, 492);
constexpr int kGap = 20;

QRect Centred(const QRect& area, QSize size) {
  return QRect(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2,
               size.width(), size.height());
}

struct Case {
  const char* what;
  QRect area;
  QRect launcher;
  QRect log;             // where the log goes
  QPoint launcherAfter;  // where the launcher stands then
};

TEST(PlaceBeside, TheLogStandsBesideTheLauncherWheneverTheScreenHoldsBoth) {
  const QRect wide(0, 0, 2560, 1400);
  const QRect fullHd(0, 0, 1920, 1040);
  const QRect laptop(0, 0, 1366, 728);
  const QRect atRight(1100, 100, 800, 600);
  const Case cases[] = {
      {"room to the right", wide, Centred(wide, {800, 600}), QRect(1700, 400, 640, 492), QPoint(880, 400)},
      {"room only to the left", fullHd, atRight, QRect(440, 100, 640, 492), atRight.topLeft()},
      {"narrowed to the room there is", fullHd, Centred(fullHd, {800, 600}), QRect(1380, 220, 540, 492),
       QPoint(560, 220)},
      {"both shifted into the middle", laptop, Centred(laptop, {800, 600}), QRect(820, 64, 546, 492), QPoint(0, 64)},
  };
  for (const Case& c : cases) {
    const SideBySide placed = PlaceBeside(c.launcher, kLog, kNarrowest, c.area, kGap);
    EXPECT_EQ(placed.window, c.log) << c.what;
    EXPECT_EQ(placed.anchorTopLeft, c.launcherAfter) << c.what;
    const QRect launcherAfter(placed.anchorTopLeft, c.launcher.size());
    EXPECT_FALSE(placed.window.intersects(launcherAfter)) << c.what;
    EXPECT_TRUE(c.area.contains(placed.window)) << c.what;
    EXPECT_TRUE(c.area.contains(launcherAfter)) << c.what;
  }
}

TEST(PlaceBeside, AScreenTooSmallForBothLeavesTheLauncherAndPutsTheLogAtTheRightEdge) {
  const QRect small(0, 0, 1024, 400);
  const QRect launcher(112, 0, 800, 600);
  const SideBySide placed = PlaceBeside(launcher, kLog, kNarrowest, small, kGap);
  EXPECT_EQ(placed.anchorTopLeft, launcher.topLeft());
  EXPECT_EQ(placed.window, QRect(384, 0, 640, 400));
}

}  // namespace
}  // namespace kv::ui
