// The busy indicator: twelve dots on a ring whose brightest dot walks round once a second, on a
// round sand plate with a frame line. The loading window is cut to the plate's circle, so no
// square of another colour shows around it. Drawn on the plate's colour, because a GIF has no
// partial transparency to blend anti-aliased edges with.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

#include <cmath>
#include <numbers>

namespace kv::skin {

Animation PaintLoadingAnimation() {
  constexpr int kSize = 40;
  constexpr int kDots = 12;
  Animation animation{"image/Loading.gif", {}, 8};
  for (int frame = 0; frame < kDots; ++frame) {
    QImage image = NewCanvas(kSize, kSize, palette::kSand);
    QPainter painter(&image);
    Smooth(painter);
    painter.setPen(QPen(palette::kDeepOchre, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(0.5, 0.5, kSize - 1, kSize - 1));
    painter.setPen(Qt::NoPen);
    for (int dot = 0; dot < kDots; ++dot) {
      // How many steps this dot trails behind the leading one.
      const int behind = (frame - dot + kDots) % kDots;
      const double strength = std::max(0.12, 1.0 - behind / 7.0);
      const double angle = 2 * std::numbers::pi * dot / kDots - std::numbers::pi / 2;
      const QPointF centre(kSize / 2.0 + 12.5 * std::cos(angle), kSize / 2.0 + 12.5 * std::sin(angle));
      painter.setBrush(Mix(palette::kSand, palette::kLeafEdge, strength));
      const double radius = 2.0 + 1.1 * strength;
      painter.drawEllipse(centre, radius, radius);
    }
    animation.frames.push_back(image);
  }
  return animation;
}

}  // namespace kv::skin
