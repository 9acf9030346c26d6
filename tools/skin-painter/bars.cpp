// Bar pictures: the slim scroll-bar thumb (a nine-slice of 8 x 30 with 4-pixel ends) and the
// download progress bar's fill, which is squeezed across the filled part, so it only varies
// from top to bottom.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

namespace kv::skin {
namespace {

QImage PaintThumb(const QColor& colour) {
  QImage image = NewCanvas(8, 30);
  QPainter painter(&image);
  Smooth(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(1, 1, 6, 28), 3, 3);
  return image;
}

QImage PaintProgressFill() {
  QImage image = NewCanvas(4, 25);
  QPainter painter(&image);
  const QRectF all(0, 0, 4, 25);
  QLinearGradient fill = VerticalGradient(all, palette::kLeafLight, palette::kLeaf);
  fill.setColorAt(0.5, Mix(palette::kLeafLight, palette::kLeaf, 0.35));
  fill.setColorAt(0.52, Mix(palette::kLeafLight, palette::kLeaf, 0.6));
  painter.fillRect(all, fill);
  painter.fillRect(QRectF(0, 1, 4, 1), QColor(255, 255, 255, 90));
  painter.fillRect(QRectF(0, 24, 4, 1), palette::kLeafDark);
  return image;
}

}  // namespace

void PaintBars(PictureSet& pictures) {
  pictures.push_back({"image/ScrollThumb_Normal.png", PaintThumb(WithAlpha(palette::kDeepOchre, 140))});
  pictures.push_back({"image/ScrollThumb_Hot.png", PaintThumb(WithAlpha(palette::kDeepOchre, 205))});
  pictures.push_back({"image/ScrollThumb_Pushed.png", PaintThumb(palette::kDeepOchre.darker(112))});
  pictures.push_back({"image/DownLoad_process_Fore.png", PaintProgressFill()});
}

}  // namespace kv::skin
