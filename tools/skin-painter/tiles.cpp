// The instance tiles' frames and the add tile. The frames are drawn over the tile's logo, so
// they are mostly an outline with a light wash that leaves the logo readable.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

namespace kv::skin {
namespace {

// Shown while the pointer is over a tile: 90 x 90, drawn at 5,5 in the 100 x 100 tile.
QImage PaintHoverFrame() {
  QImage image = NewCanvas(90, 90);
  QPainter painter(&image);
  Smooth(painter);
  FillFramedRoundedRect(painter, QRectF(0, 0, 90, 90), 7, QColor(255, 255, 255, 45),
                        WithAlpha(palette::kOchre, 210));
  return image;
}

// Shown on the selected tile: 96 x 96, drawn at 2,2.
QImage PaintSelectedFrame() {
  QImage image = NewCanvas(96, 96);
  QPainter painter(&image);
  Smooth(painter);
  const QRectF outer(0.5, 0.5, 95, 95);
  painter.setPen(QPen(palette::kDeepOchre, 2.0));
  painter.setBrush(WithAlpha(palette::kSand, 55));
  painter.drawRoundedRect(outer.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
  // A lighter inner line gives the frame some depth against the sand.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(255, 255, 245, 150), 1.0));
  painter.drawRoundedRect(QRectF(2.5, 2.5, 91, 91), 6.5, 6.5);
  return image;
}

// The add tile's picture: 60 x 60, a dashed slot with a plus.
QImage PaintAddTile() {
  QImage image = NewCanvas(60, 60);
  QPainter painter(&image);
  Smooth(painter);
  QPen dashes(palette::kDeepOchre, 2.0, Qt::CustomDashLine, Qt::FlatCap);
  dashes.setDashPattern({3.0, 2.0});
  painter.setPen(dashes);
  painter.setBrush(QColor(255, 255, 255, 90));
  painter.drawRoundedRect(QRectF(4, 4, 52, 52), 8, 8);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kDeepOchre);
  painter.drawPath(PlusPath(QRectF(18, 18, 24, 24), 4));
  return image;
}

}  // namespace

void PaintTiles(PictureSet& pictures) {
  pictures.push_back({"image/ListItem_Hover.png", PaintHoverFrame()});
  pictures.push_back({"image/ListItem_Pushed.png", PaintSelectedFrame()});
  pictures.push_back({"image/Btn_Add.png", PaintAddTile()});
}

}  // namespace kv::skin
