#include "uilib/round_corners.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

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

QRegion RoundedRegion(QSize size, QSize corner) {
  const int w = size.width();
  const int h = size.height();
  const double rx = std::min(corner.width() / 2.0, w / 2.0);
  const double ry = std::min(corner.height() / 2.0, h / 2.0);
  if (rx <= 0 || ry <= 0) return QRegion(0, 0, w, h);
  const int rows = static_cast<int>(std::ceil(ry));
  QRegion region(0, rows, w, std::max(0, h - 2 * rows));
  for (int row = 0; row < rows; ++row) {
    const double dy = (ry - (row + 0.5)) / ry;
    const double inside = dy <= 0 ? 1.0 : std::sqrt(std::max(0.0, 1.0 - dy * dy));
    const int inset = static_cast<int>(std::lround(rx - rx * inside));
    const int width = w - 2 * inset;
    if (width <= 0) continue;
    region += QRect(inset, row, width, 1);
    region += QRect(inset, h - 1 - row, width, 1);
  }
  return region;
}

bool SmoothCornersSupported() { return ShadowWindow::Supported(); }

}  // namespace kv::ui
