#include "uilib/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kv::ui {

SideBySide PlaceBeside(const QRect& anchor, QSize size, QSize minimum, const QRect& area, int gap) {
  const int height = std::min(size.height(), area.height());
  const int top = std::clamp(anchor.top(), area.top(), area.top() + area.height() - height);
  const int rightRoom = area.left() + area.width() - (anchor.left() + anchor.width()) - gap;
  const int leftRoom = anchor.left() - area.left() - gap;
  const auto toTheRight = [&](int width) { return QRect(anchor.left() + anchor.width() + gap, top, width, height); };
  const auto toTheLeft = [&](int width) { return QRect(anchor.left() - gap - width, top, width, height); };
  const QPoint anchorStays = anchor.topLeft();

  if (rightRoom >= size.width()) return {toTheRight(size.width()), anchorStays};
  if (leftRoom >= size.width()) return {toTheLeft(size.width()), anchorStays};
  if (std::max(rightRoom, leftRoom) >= minimum.width()) {
    return rightRoom >= leftRoom ? SideBySide{toTheRight(rightRoom), anchorStays}
                                 : SideBySide{toTheLeft(leftRoom), anchorStays};
  }
  if (anchor.width() + gap + minimum.width() <= area.width()) {
    const int width = std::min(size.width(), area.width() - anchor.width() - gap);
    const int left = area.left() + (area.width() - (anchor.width() + gap + width)) / 2;
    return {QRect(left + anchor.width() + gap, top, width, height), QPoint(left, anchor.top())};
  }
  const int width = std::min(size.width(), area.width());
  return {QRect(area.left() + area.width() - width, top, width, height), anchorStays};
}

void MoveBeside(HWND window, HWND anchor, QSize minimum, int gap) {
  if (!window || !anchor) return;
  QScreen* screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const SideBySide placed = PlaceBeside(anchor->geometry(), window->size(), minimum, screen->availableGeometry(), gap);
  if (placed.anchorTopLeft != anchor->geometry().topLeft()) anchor->move(placed.anchorTopLeft);
  window->setGeometry(placed.window);
}

}  // namespace kv::ui
