// Title-bar buttons: strips of three states (normal, hot, pushed) side by side, 26 x 17 for the
// small buttons and 45 x 17 for close. They hang from the top edge of the window, so only the
// two lower corners are rounded, and their normal state is transparent so they sit on any bar.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace kv::skin {
namespace {

constexpr int kSmallWidth = 26;
constexpr int kCloseWidth = 45;
constexpr int kHeight = 17;

enum class State { kNormal, kHot, kPushed };

using GlyphPainter = std::function<void(QPainter&, const QRectF& cell, const QColor& ink)>;

QPainterPath HangingShape(const QRectF& cell) {
  const double r = 3.0;
  QPainterPath path;
  path.moveTo(cell.topLeft());
  path.lineTo(cell.topRight());
  path.lineTo(cell.right(), cell.bottom() - r);
  path.quadTo(cell.bottomRight(), QPointF(cell.right() - r, cell.bottom()));
  path.lineTo(cell.left() + r, cell.bottom());
  path.quadTo(cell.bottomLeft(), QPointF(cell.left(), cell.bottom() - r));
  path.closeSubpath();
  return path;
}

QImage PaintCell(int width, State state, bool danger, const GlyphPainter& glyph) {
  QImage image = NewCanvas(width, kHeight);
  QPainter painter(&image);
  Smooth(painter);
  const QRectF cell(0, 0, width, kHeight);
  QColor ink = palette::kBark;
  if (state != State::kNormal) {
    QColor fill;
    if (danger) {
      fill = state == State::kHot ? palette::kBrick : palette::kBrickDark;
      ink = Qt::white;
    } else {
      fill = state == State::kHot ? QColor(255, 255, 255, 120) : WithAlpha(palette::kDeepOchre, 110);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(HangingShape(cell));
  }
  glyph(painter, cell, ink);
  return image;
}

QImage PaintStrip(int width, bool danger, const GlyphPainter& glyph) {
  return JoinStrip({PaintCell(width, State::kNormal, danger, glyph),
                    PaintCell(width, State::kHot, danger, glyph),
                    PaintCell(width, State::kPushed, danger, glyph)});
}

// Glyphs are placed on whole pixels so that their straight edges stay sharp.
void MinimiseGlyph(QPainter& painter, const QRectF&, const QColor& ink) {
  painter.fillRect(QRect(9, 10, 8, 2), ink);
}

void MaximiseGlyph(QPainter& painter, const QRectF&, const QColor& ink) {
  painter.fillRect(QRect(8, 4, 10, 2), ink);
  painter.fillRect(QRect(8, 6, 1, 6), ink);
  painter.fillRect(QRect(17, 6, 1, 6), ink);
  painter.fillRect(QRect(8, 11, 10, 1), ink);
}

void RestoreGlyph(QPainter& painter, const QRectF&, const QColor& ink) {
  // The back window: only the parts the front one does not cover.
  painter.fillRect(QRect(11, 3, 8, 2), ink);
  painter.fillRect(QRect(18, 5, 1, 5), ink);
  painter.fillRect(QRect(16, 9, 2, 1), ink);
  painter.fillRect(QRect(11, 5, 1, 1), ink);
  // The front window.
  painter.fillRect(QRect(7, 6, 9, 2), ink);
  painter.fillRect(QRect(7, 8, 1, 5), ink);
  painter.fillRect(QRect(15, 8, 1, 5), ink);
  painter.fillRect(QRect(7, 12, 9, 1), ink);
}

void CloseGlyph(QPainter& painter, const QRectF& cell, const QColor& ink) {
  const QPointF c = cell.center();
  const double arm = 3.6;
  painter.setPen(QPen(ink, 1.7, Qt::SolidLine, Qt::SquareCap));
  painter.drawLine(QPointF(c.x() - arm, c.y() - arm), QPointF(c.x() + arm, c.y() + arm));
  painter.drawLine(QPointF(c.x() - arm, c.y() + arm), QPointF(c.x() + arm, c.y() - arm));
}

void SettingsGlyph(QPainter& painter, const QRectF& cell, const QColor& ink) {
  // A gear: eight teeth around a ring, with a hole in the middle.
  const QPointF c = cell.center();
  const int teeth = 8;
  const double outer = 5.4;
  const double inner = 4.0;
  QPainterPath gear;
  for (int i = 0; i < teeth * 4; ++i) {
    const double angle = (i - 0.5) * std::numbers::pi / (teeth * 2);
    const double radius = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
    const QPointF point(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
    if (i == 0) {
      gear.moveTo(point);
    } else {
      gear.lineTo(point);
    }
  }
  gear.closeSubpath();
  QPainterPath hole;
  hole.addEllipse(c, 1.8, 1.8);
  painter.setPen(Qt::NoPen);
  painter.setBrush(ink);
  painter.drawPath(gear.subtracted(hole));
}

}  // namespace

void PaintTitleButtons(PictureSet& pictures) {
  pictures.push_back({"image/Btn_Set.png", PaintStrip(kSmallWidth, false, SettingsGlyph)});
  pictures.push_back({"image/Btn_Min.png", PaintStrip(kSmallWidth, false, MinimiseGlyph)});
  pictures.push_back({"image/Btn_Max.png", PaintStrip(kSmallWidth, false, MaximiseGlyph)});
  pictures.push_back({"image/Btn_Restore.png", PaintStrip(kSmallWidth, false, RestoreGlyph)});
  pictures.push_back({"image/Btn_Close.png", PaintStrip(kCloseWidth, true, CloseGlyph)});
}

}  // namespace kv::skin
