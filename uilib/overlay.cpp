#include "uilib/overlay.h"

#include <QRegion>
#include <QWidget>

#include "uilib/control.h"

namespace kv::ui {

void PlaceOverlay(QWidget* overlay, const CControlUI& control, const UiRect& rect) {
  if (!overlay) return;
  const UiRect visible = rect.Intersected(control.VisibleRect());
  if (rect.IsEmpty() || visible.IsEmpty() || !control.IsVisibleInTree()) {
    overlay->hide();
    return;
  }
  overlay->setGeometry(rect.ToQRect());
  if (visible == rect) overlay->clearMask();
  else overlay->setMask(QRegion(visible.Offset(-rect.left, -rect.top).ToQRect()));
  if (overlay->isHidden()) overlay->show();
}

QString CssRgba(ARGB color) {
  return QStringLiteral("rgba(%1, %2, %3, %4)")
      .arg((color >> 16) & 0xFF)
      .arg((color >> 8) & 0xFF)
      .arg(color & 0xFF)
      .arg((color >> 24) & 0xFF);
}

QString SlimScrollBarStyle() {
  return QStringLiteral(
      "QScrollBar:vertical { width: 10px; background: transparent; margin: 0; }"
      "QScrollBar:horizontal { height: 10px; background: transparent; margin: 0; }"
      "QScrollBar::handle:vertical { background: #C2C2C2; border-radius: 4px; min-height: 24px; margin: 1px 2px; }"
      "QScrollBar::handle:horizontal { background: #C2C2C2; border-radius: 4px; min-width: 24px; margin: 2px 1px; }"
      "QScrollBar::handle:hover { background: #9E9E9E; }"
      "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
      "QScrollBar::add-page, QScrollBar::sub-page { background: none; }");
}

}  // namespace kv::ui
