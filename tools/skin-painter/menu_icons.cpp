// The instance menu's pictures: add (23 x 23), delete and rename (16 x 16), drawn in the 35-pixel
// icon column, and the 9 x 9 arrow of an item that opens a sub-menu.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

#include <QTransform>

namespace kv::skin {
namespace {

QImage PaintAdd() {
  QImage image = NewCanvas(23, 23);
  QPainter painter(&image);
  Smooth(painter);
  const QRectF disc(2, 2, 19, 19);
  painter.setPen(QPen(palette::kLeafDark, 1.0));
  painter.setBrush(VerticalGradient(disc, palette::kLeafLight, palette::kLeaf));
  painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawPath(PlusPath(QRectF(6.5, 6.5, 10, 10), 2.2));
  return image;
}

QImage PaintDelete() {
  QImage image = NewCanvas(16, 16);
  QPainter painter(&image);
  Smooth(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kBrick);
  painter.drawRect(QRectF(2, 3, 12, 1.6));
  painter.drawRect(QRectF(6, 1.5, 4, 1.5));
  QPainterPath bin;
  bin.moveTo(3.5, 5.5);
  bin.lineTo(12.5, 5.5);
  bin.lineTo(11.6, 14.5);
  bin.lineTo(4.4, 14.5);
  bin.closeSubpath();
  QPainterPath openings;
  openings.addRect(QRectF(6, 7.5, 1.2, 5));
  openings.addRect(QRectF(8.8, 7.5, 1.2, 5));
  painter.drawPath(bin.subtracted(openings));
  return image;
}

QImage PaintRename() {
  QImage image = NewCanvas(16, 16);
  QPainter painter(&image);
  Smooth(painter);
  // A pencil lying from the lower left to the upper right, drawn upright and turned.
  painter.translate(8, 8);
  painter.rotate(45);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kAmber);
  painter.drawRect(QRectF(-2.2, -6.5, 4.4, 9.5));
  painter.setBrush(palette::kBrick);
  painter.drawRect(QRectF(-2.2, -8, 4.4, 1.8));
  QPolygonF tip{QPointF(-2.2, 3), QPointF(2.2, 3), QPointF(0, 7.6)};
  painter.setBrush(QColor(0xEE, 0xD9, 0xA8));
  painter.drawPolygon(tip);
  painter.setBrush(palette::kBark);
  painter.drawPolygon(QPolygonF{QPointF(-0.8, 5.9), QPointF(0.8, 5.9), QPointF(0, 7.6)});
  painter.resetTransform();
  // The line it writes.
  painter.fillRect(QRectF(9, 14, 6, 1), palette::kDeepOchre);
  return image;
}

QImage PaintExpandArrow() {
  QImage image = NewCanvas(9, 9);
  QPainter painter(&image);
  Smooth(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kBark);
  painter.drawPolygon(QPolygonF{QPointF(2.5, 1), QPointF(7, 4.5), QPointF(2.5, 8)});
  return image;
}

}  // namespace

void PaintMenuIcons(PictureSet& pictures) {
  pictures.push_back({"image/Menu_Add.png", PaintAdd()});
  pictures.push_back({"image/Menu_Del.png", PaintDelete()});
  pictures.push_back({"image/Menu_Rename.png", PaintRename()});
  pictures.push_back({"image/menu_expand.png", PaintExpandArrow()});
}

}  // namespace kv::skin
