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

// Every glyph fills the same 10 x 10 box in the middle of its cell, so that the row of buttons
// reads as one set. Straight glyphs are placed on whole pixels so that their edges stay sharp.
constexpr int kGlyph = 10;

QRect GlyphBox(const QRectF& cell) {
  return QRect(static_cast<int>(cell.center().x()) - kGlyph / 2, (kHeight - kGlyph) / 2 + 1, kGlyph, kGlyph);
}

// A window outline: a two-pixel title edge on top, one-pixel sides.
void WindowOutline(QPainter& painter, const QRect& r, const QColor& ink) {
  painter.fillRect(QRect(r.left(), r.top(), r.width(), 2), ink);
  painter.fillRect(QRect(r.left(), r.top() + 2, 1, r.height() - 2), ink);
  painter.fillRect(QRect(r.right(), r.top() + 2, 1, r.height() - 2), ink);
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), ink);
}

void MinimiseGlyph(QPainter& painter, const QRectF& cell, const QColor& ink) {
  const QRect box = GlyphBox(cell);
  painter.fillRect(QRect(box.left(), box.top() + 6, kGlyph, 2), ink);
}

void MaximiseGlyph(QPainter& painter, const QRectF& cell, const QColor& ink) {
  WindowOutline(painter, GlyphBox(cell), ink);
}

void RestoreGlyph(QPainter& painter, const QRectF& cell, const QColor& ink) {
  const QRect box = GlyphBox(cell);
  const QRect back(box.left() + 3, box.top(), 7, 7);
  const QRect front(box.left(), box.top() + 3, 7, 7);
  // The back window shows only where the front one does not cover it.
  painter.save();
  painter.setClipRegion(QRegion(box).subtracted(QRegion(front)));
  WindowOutline(painter, back, ink);
  painter.restore();
  WindowOutline(painter, front, ink);
}

void CloseGlyph(QPainter& painter, const QRectF& cell, const QColor& ink) {
  const QRectF box = QRectF(GlyphBox(cell)).adjusted(1, 1, -1, -1);
  painter.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(box.topLeft(), box.bottomRight());
  painter.drawLine(box.bottomLeft(), box.topRight());
}

void SettingsGlyph(QPainter& painter, const QRectF& cell, const QColor& ink) {
  // A gear: eight teeth around a ring, with a hole in the middle.
  const QPointF c = QRectF(GlyphBox(cell)).center();
  const int teeth = 8;
  const double outer = kGlyph / 2.0;
  const double inner = outer - 1.4;
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
