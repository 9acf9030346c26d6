// The mod page's two big buttons, 75 x 75: install (a tray with a downward arrow) and remove
// (a bin). The picture keeps a margin so that the hover frame drawn over it has room.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

namespace kv::skin {
namespace {

constexpr int kSize = 75;
const QRectF kFace(9, 9, 57, 57);

void PaintFaceBackground(QPainter& painter, const QColor& light, const QColor& base,
                         const QColor& edge) {
  FillFramedRoundedRect(painter, kFace, 11, VerticalGradient(kFace, light, base), edge);
  // A soft highlight over the top half.
  painter.setPen(Qt::NoPen);
  painter.setBrush(VerticalGradient(kFace, QColor(255, 255, 255, 60), QColor(255, 255, 255, 0)));
  painter.drawRoundedRect(kFace.adjusted(2, 2, -2, -kFace.height() / 2), 9, 9);
}

QImage PaintInstall() {
  QImage image = NewCanvas(kSize, kSize);
  QPainter painter(&image);
  Smooth(painter);
  PaintFaceBackground(painter, palette::kLeafLight, palette::kLeaf, palette::kLeafDark);
  painter.setPen(QPen(Qt::white, 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  // The arrow.
  painter.drawLine(QPointF(37.5, 22), QPointF(37.5, 43));
  painter.drawPolyline(QPolygonF{QPointF(29, 35), QPointF(37.5, 43.5), QPointF(46, 35)});
  // The tray.
  painter.drawPolyline(QPolygonF{QPointF(24, 44), QPointF(24, 51), QPointF(51, 51), QPointF(51, 44)});
  return image;
}

QImage PaintRemove() {
  QImage image = NewCanvas(kSize, kSize);
  QPainter painter(&image);
  Smooth(painter);
  PaintFaceBackground(painter, palette::kBrickLight, palette::kBrick, palette::kBrickDark);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  // Lid and handle.
  painter.drawRoundedRect(QRectF(24, 24, 27, 4), 1.5, 1.5);
  painter.drawRoundedRect(QRectF(33, 20.5, 9, 4.5), 1.5, 1.5);
  // Bin with three openings.
  QPainterPath bin;
  bin.moveTo(27, 30);
  bin.lineTo(48, 30);
  bin.lineTo(46.3, 53);
  bin.quadTo(46, 55, 44, 55);
  bin.lineTo(31, 55);
  bin.quadTo(29, 55, 28.7, 53);
  bin.closeSubpath();
  QPainterPath openings;
  for (double x : {32.0, 36.5, 41.0}) openings.addRoundedRect(QRectF(x, 34, 2, 17), 1, 1);
  painter.drawPath(bin.subtracted(openings));
  return image;
}

}  // namespace

void PaintModButtons(PictureSet& pictures) {
  pictures.push_back({"image/Mod_Add.png", PaintInstall()});
  pictures.push_back({"image/Mod_Del.png", PaintRemove()});
}

}  // namespace kv::skin
