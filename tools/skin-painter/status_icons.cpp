// Small state pictures: the account state beside the player's name, the installed badge over a
// mod's icon, and the check box.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

#include <QRadialGradient>

namespace kv::skin {
namespace {

// 15 x 15: a lit dot, green when signed in to a genuine account, grey when offline.
QImage PaintAccountDot(const QColor& colour, bool online) {
  QImage image = NewCanvas(15, 15);
  QPainter painter(&image);
  Smooth(painter);
  const QRectF disc(1, 1, 13, 13);
  QRadialGradient light(QPointF(5.5, 5.0), 9.0);
  light.setColorAt(0, colour.lighter(125));
  light.setColorAt(1, colour.darker(108));
  painter.setPen(QPen(colour.darker(135), 1.0));
  painter.setBrush(light);
  painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
  painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  if (online) {
    painter.drawPath(TickPath(QRectF(4, 4.2, 7, 7)));
  } else {
    painter.drawLine(QPointF(5, 7.5), QPointF(10, 7.5));
  }
  return image;
}

// 12 x 12 badge drawn over the lower right corner of a mod's icon; a white ring keeps it apart
// from whatever the icon shows.
QImage PaintBadge(bool installed) {
  QImage image = NewCanvas(12, 12);
  QPainter painter(&image);
  Smooth(painter);
  const QColor colour = installed ? palette::kLeaf : palette::kStone;
  painter.setPen(QPen(Qt::white, 1.2));
  painter.setBrush(colour);
  painter.drawEllipse(QRectF(0.6, 0.6, 10.8, 10.8));
  if (installed) {
    painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(TickPath(QRectF(2.6, 3.0, 6.8, 6.2)));
  } else {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(PlusPath(QRectF(3, 3, 6, 6), 1.5));
  }
  return image;
}

// 16 x 16 check box.
QImage PaintCheckBox(bool checked, bool hot) {
  QImage image = NewCanvas(16, 16);
  QPainter painter(&image);
  Smooth(painter);
  const QRectF box(0, 0, 16, 16);
  if (checked) {
    const QColor top = hot ? palette::kLeafLight.lighter(106) : palette::kLeafLight;
    FillFramedRoundedRect(painter, box, 3, VerticalGradient(box, top, palette::kLeaf),
                          palette::kLeafDark);
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(TickPath(QRectF(3, 3.5, 10, 9)));
  } else {
    FillFramedRoundedRect(painter, box, 3,
                          VerticalGradient(box, palette::kCream, Mix(palette::kCream, palette::kSand, 0.3)),
                          hot ? palette::kLeaf : palette::kDeepOchre);
  }
  return image;
}

}  // namespace

void PaintStatusIcons(PictureSet& pictures) {
  pictures.push_back({"image/Menu_Online.png", PaintAccountDot(palette::kLeaf, true)});
  pictures.push_back({"image/Menu_Offline.png", PaintAccountDot(palette::kStone, false)});
  pictures.push_back({"image/ModInstalled.png", PaintBadge(true)});
  pictures.push_back({"image/ModNotInstalled.png", PaintBadge(false)});
  pictures.push_back({"image/unchecked.png", PaintCheckBox(false, false)});
  pictures.push_back({"image/unchecked_hot.png", PaintCheckBox(false, true)});
  pictures.push_back({"image/checked.png", PaintCheckBox(true, false)});
  pictures.push_back({"image/checked_hot.png", PaintCheckBox(true, true)});
}

}  // namespace kv::skin
