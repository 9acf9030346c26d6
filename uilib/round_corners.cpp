#include "uilib/round_corners.h"

#include <QPainterPath>

#include "uilib/shadow_window.h"

namespace kv::ui {

void CutRoundCorners(QPainter& painter, const QRect& rect, QSize corner) {
  if (corner.width() <= 0 || corner.height() <= 0) return;
  QPainterPath outside;
  outside.addRect(rect);
  QPainterPath inside;
  inside.addRoundedRect(QRectF(rect), corner.width() / 2.0, corner.height() / 2.0);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setCompositionMode(QPainter::CompositionMode_Clear);
  painter.fillPath(outside.subtracted(inside), Qt::black);
  painter.restore();
}

bool SmoothCornersSupported() { return ShadowWindow::Supported(); }

}  // namespace kv::ui
