// The game page's backdrop: a band of three ridges of blocky hills that tiles sideways
// (256 x 128, so any page width works), a blocky cloud and a square sun.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

#include <cmath>
#include <numbers>

namespace kv::skin {
namespace {

constexpr int kBandWidth = 256;
constexpr int kBandHeight = 128;
constexpr int kBlock = 8;

struct Ridge {
  double base;            // mean height above the band's bottom
  double wave1, wave2;    // amplitudes of two waves that each repeat a whole number of times
  int periods1, periods2;
  double phase;
  QColor colour;
};

// Height of a ridge for the block column that starts at x; whole waves over the band's width
// make the band's two ends meet.
int RidgeHeight(const Ridge& ridge, int x) {
  const double t = 2 * std::numbers::pi * (x + kBlock / 2.0) / kBandWidth;
  const double h = ridge.base + ridge.wave1 * std::sin(ridge.periods1 * t + ridge.phase) +
                   ridge.wave2 * std::sin(ridge.periods2 * t + 2.1 * ridge.phase);
  return static_cast<int>(std::lround(h / kBlock)) * kBlock;
}

QImage PaintHills() {
  QImage image = NewCanvas(kBandWidth, kBandHeight);
  QPainter painter(&image);
  const Ridge ridges[] = {
      {70, 14, 6, 1, 3, 0.6, Mix(palette::kPaper, palette::kSand, 0.5)},
      {46, 10, 5, 2, 5, 2.2, Mix(palette::kSand, palette::kOchre, 0.25)},
      {22, 6, 4, 3, 4, 4.0, palette::kOchre},
  };
  for (const Ridge& ridge : ridges) {
    for (int x = 0; x < kBandWidth; x += kBlock) {
      const int h = RidgeHeight(ridge, x);
      painter.fillRect(QRect(x, kBandHeight - h, kBlock, h), ridge.colour);
      // A lighter top edge on every block catches the light.
      painter.fillRect(QRect(x, kBandHeight - h, kBlock, 2), ridge.colour.lighter(106));
    }
  }
  return image;
}

QImage PaintCloud() {
  QImage image = NewCanvas(96, 32);
  QPainter painter(&image);
  const QColor body(255, 255, 250, 200);
  painter.fillRect(QRect(0, 16, 96, 16), body);
  painter.fillRect(QRect(16, 8, 48, 8), body);
  painter.fillRect(QRect(32, 0, 24, 8), body);
  painter.fillRect(QRect(64, 8, 16, 8), body);
  painter.fillRect(QRect(0, 28, 96, 4), QColor(235, 228, 196, 160));
  return image;
}

// A square sun, as the game draws it, with two rings of soft glow: 64 x 64.
QImage PaintSun() {
  QImage image = NewCanvas(64, 64);
  QPainter painter(&image);
  painter.fillRect(QRect(4, 4, 56, 56), QColor(255, 236, 160, 40));
  painter.fillRect(QRect(10, 10, 44, 44), QColor(255, 232, 150, 70));
  painter.fillRect(QRect(16, 16, 32, 32), QColor(0xFB, 0xE0, 0x8A));
  painter.fillRect(QRect(20, 20, 24, 24), QColor(0xFD, 0xEB, 0xA8));
  return image;
}

}  // namespace

void PaintScenery(PictureSet& pictures) {
  pictures.push_back({"image/Game_Hills.png", PaintHills()});
  pictures.push_back({"image/Game_Cloud.png", PaintCloud()});
  pictures.push_back({"image/Game_Sun.png", PaintSun()});
}

}  // namespace kv::skin
