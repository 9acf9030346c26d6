// The windows' drop shadow, drawn as a nine-slice around the window by the shadow window.
//
// The layouts give it as shadowimage with shadowcorner "23,12,23,33", shadowsize 10 and
// shadowposition "0,2": the shadow window is the window grown by 10 pixels on every side and
// moved 2 pixels down, so the window covers the picture from 10 pixels in at the left and
// right, 8 at the top and 12 at the bottom. Everything under the window is left transparent,
// so a translucent window does not show its shadow through itself.
//
// The shade is a product of one profile across and one down. The edges of a nine-slice are
// stretched, so each profile is flat outside the corners: the left and right fall-off lies
// within 23 pixels of the side, the top one within 12 and the bottom one within 33.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

#include <algorithm>
#include <cmath>

namespace kv::skin {
namespace {

constexpr int kLeft = 23, kTop = 12, kRight = 23, kBottom = 33;  // the nine-slice corners
constexpr int kWidth = kLeft + kRight + 10;
constexpr int kHeight = kTop + kBottom + 10;
constexpr int kCoverLeft = 10, kCoverTop = 8, kCoverRight = 10, kCoverBottom = 12;
constexpr double kDarkest = 0.30;

// Share of a blurred step at distance d past its edge, for blur sigma.
double Step(double d, double sigma) { return 0.5 * std::erfc(-d / (sigma * std::sqrt(2.0))); }

double Across(double x) {
  return Step(x - 10.5, 3.5) * Step((kWidth - 10.5) - x, 3.5);
}

double Down(double y) {
  // Light from above: a short, tight shade at the top and a longer one below the window.
  return Step(y - 6.0, 2.2) * Step((kHeight - 10.0) - y, 4.0);
}

QImage PaintShadowImage() {
  QImage image = NewCanvas(kWidth, kHeight);
  const QColor shade(0x2E, 0x24, 0x0C);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool covered = x >= kCoverLeft && x < kWidth - kCoverRight && y >= kCoverTop &&
                           y < kHeight - kCoverBottom;
      if (covered) continue;
      const double alpha = kDarkest * Across(x + 0.5) * Down(y + 0.5);
      const int a = std::clamp(static_cast<int>(alpha * 255.0 + 0.5), 0, 255);
      image.setPixelColor(x, y, QColor(shade.red(), shade.green(), shade.blue(), a));
    }
  }
  return image;
}

}  // namespace

void PaintShadow(PictureSet& pictures) { pictures.push_back({"image/shadow.png", PaintShadowImage()}); }

}  // namespace kv::skin
