#pragma once

#include <QColor>
#include <QImage>

#include <string>
#include <vector>

namespace kv::skin {

// One picture of the skin under its name in the archive ("image/logo.png").
struct Picture {
  std::string name;
  QImage image;
};

// An animation written as a looping GIF: frames of equal size on an opaque background.
struct Animation {
  std::string name;
  std::vector<QImage> frames;
  int frameDelayCentiseconds = 8;
};

using PictureSet = std::vector<Picture>;

// Each painter appends its pictures to the set.
void PaintTitleButtons(PictureSet& pictures);
void PaintLogos(PictureSet& pictures);
void PaintTiles(PictureSet& pictures);
void PaintStatusIcons(PictureSet& pictures);
void PaintModButtons(PictureSet& pictures);
void PaintMenuIcons(PictureSet& pictures);
void PaintMessageTiles(PictureSet& pictures);
void PaintShadow(PictureSet& pictures);
void PaintButtons(PictureSet& pictures);
void PaintBars(PictureSet& pictures);
void PaintScenery(PictureSet& pictures);
void PaintFields(PictureSet& pictures);

// Every picture of the skin, in a stable order.
PictureSet PaintAllPictures();

// The busy indicator's frames.
Animation PaintLoadingAnimation();

}  // namespace kv::skin
