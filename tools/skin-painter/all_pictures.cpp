#include "tools/skin-painter/picture_set.h"

namespace kv::skin {

PictureSet PaintAllPictures() {
  PictureSet pictures;
  PaintLogos(pictures);
  PaintTitleButtons(pictures);
  PaintTiles(pictures);
  PaintStatusIcons(pictures);
  PaintModButtons(pictures);
  PaintMenuIcons(pictures);
  PaintMessageTiles(pictures);
  PaintShadow(pictures);
  PaintButtons(pictures);
  PaintBars(pictures);
  PaintScenery(pictures);
  PaintFields(pictures);
  return pictures;
}

}  // namespace kv::skin
