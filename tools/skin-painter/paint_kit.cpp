#include "tools/skin-painter/paint_kit.h"

namespace kv::skin {

QImage NewCanvas(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

QImage NewCanvas(int w, int h, const QColor& fill) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

void Smooth(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QColor WithAlpha(QColor colour, int alpha) {
  colour.setAlpha(alpha);
  return colour;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  auto channel = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
  return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                channel(a.blue(), b.blue()), channel(a.alpha(), b.alpha()));
}

QLinearGradient VerticalGradient(const QRectF& rect, const QColor& top, const QColor& bottom) {
  QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  return gradient;
}

void FillFramedRoundedRect(QPainter& painter, const QRectF& rect, double radius,
                           const QBrush& fill, const QColor& line) {
  // A 1-pixel line centred half a pixel inside the edge lands on whole pixels.
  const QRectF lineRect = rect.adjusted(0.5, 0.5, -0.5, -0.5);
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(lineRect, radius, radius);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(line, 1.0));
  painter.drawRoundedRect(lineRect, radius, radius);
  painter.restore();
}

QImage JoinStrip(const std::vector<QImage>& cells) {
  const int w = cells.front().width();
  const int h = cells.front().height();
  QImage strip = NewCanvas(w * static_cast<int>(cells.size()), h);
  QPainter painter(&strip);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    painter.drawImage(static_cast<int>(i) * w, 0, cells[i]);
  }
  return strip;
}

QPainterPath TickPath(const QRectF& box) {
  QPainterPath path;
  path.moveTo(box.left() + box.width() * 0.12, box.top() + box.height() * 0.52);
  path.lineTo(box.left() + box.width() * 0.40, box.top() + box.height() * 0.80);
  path.lineTo(box.left() + box.width() * 0.88, box.top() + box.height() * 0.22);
  return path;
}

QPainterPath PlusPath(const QRectF& box, double thickness) {
  const QPointF centre = box.center();
  QPainterPath path;
  // Winding fill, so that the square where the two bars cross is filled, not cut out.
  path.setFillRule(Qt::WindingFill);
  path.addRect(QRectF(box.left(), centre.y() - thickness / 2, box.width(), thickness));
  path.addRect(QRectF(centre.x() - thickness / 2, box.top(), thickness, box.height()));
  return path.simplified();
}

}  // namespace kv::skin
