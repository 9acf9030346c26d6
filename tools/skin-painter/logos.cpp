// The launcher's mark: a grass block seen from above at an angle, drawn at each size it is
// shown at (60 for the instance tiles, 44 for the main window's bar, 20 for dialog title bars)
// so that none of them is a scaled copy.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

#include <QPolygonF>

namespace kv::skin {
namespace {

const QColor kGrassTop{0x8C, 0xBA, 0x4E};
const QColor kGrassLeft{0x76, 0xA2, 0x3F};
const QColor kGrassRight{0x61, 0x8A, 0x33};
const QColor kDirtLeft{0xB3, 0x86, 0x4B};
const QColor kDirtRight{0x91, 0x6A, 0x3A};
const QColor kOutline{0x4A, 0x3A, 0x18, 150};

// A repeatable speckle so that the texture is the same on every build.
double Speckle(int i, int j, int face) {
  unsigned h = static_cast<unsigned>(i * 73856093) ^ static_cast<unsigned>(j * 19349663) ^
               static_cast<unsigned>(face * 83492791);
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return static_cast<double>(h % 1000) / 1000.0;
}

// Draws a face spanned by `u` (along its top edge) and `v` (downwards) from `origin`, as a
// cells x cells grid of slightly varied squares. `grassRows(column)` gives how many rows from
// the top are grass, so that the sides get the ragged grass edge of the block.
template <typename GrassRows>
void PaintFace(QPainter& painter, QPointF origin, QPointF u, QPointF v, int cells, int face,
               const QColor& grass, const QColor& dirt, GrassRows grassRows) {
  // The base first, so that anti-aliased seams between cells show a matching colour.
  QPolygonF whole{origin, origin + u, origin + u + v, origin + v};
  painter.setPen(Qt::NoPen);
  painter.setBrush(grassRows(0) >= cells ? grass : dirt);
  painter.drawPolygon(whole);
  for (int i = 0; i < cells; ++i) {
    for (int j = 0; j < cells; ++j) {
      const QPointF a = origin + u * (double(i) / cells) + v * (double(j) / cells);
      const QPointF b = a + u / double(cells);
      const QPointF d = a + v / double(cells);
      const QPointF c = b + v / double(cells);
      const QColor base = j < grassRows(i) ? grass : dirt;
      const double s = Speckle(i, j, face);
      QColor colour = s < 0.33 ? base.lighter(108) : (s > 0.75 ? base.darker(110) : base);
      painter.setBrush(colour);
      painter.drawPolygon(QPolygonF{a, b, c, d});
    }
  }
}

QImage PaintGrassBlock(int size, int cells) {
  QImage image = NewCanvas(size, size);
  QPainter painter(&image);
  Smooth(painter);
  const double s = size;
  const double inset = s * 0.06;
  const QPointF top(s / 2, inset);
  const QPointF left(inset, s * 0.28);
  const QPointF right(s - inset, s * 0.28);
  const QPointF middle(s / 2, s * 0.50);
  const QPointF down(0, s * 0.50 - inset * 0.6);

  auto allGrass = [cells](int) { return cells; };
  // Grass hangs one row down the sides, two rows in a few places.
  auto ragged = [cells](int column) { return 1 + (cells > 3 && (column * 5 + 2) % 3 == 0); };

  PaintFace(painter, left, top - left, middle - left, cells, 0, kGrassTop, kGrassTop, allGrass);
  PaintFace(painter, left, middle - left, down, cells, 1, kGrassLeft, kDirtLeft, ragged);
  PaintFace(painter, middle, right - middle, down, cells, 2, kGrassRight, kDirtRight, ragged);

  // A light edge along the two near top edges, and a soft outline around the block.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(255, 255, 240, 110), s / 40.0 + 0.5));
  painter.drawPolyline(QPolygonF{left, middle, right});
  painter.setPen(QPen(kOutline, 1.0));
  painter.drawPolygon(QPolygonF{top, right, right + down, middle + down, left + down, left});
  return image;
}

}  // namespace

void PaintLogos(PictureSet& pictures) {
  pictures.push_back({"image/logo.png", PaintGrassBlock(60, 6)});
  pictures.push_back({"image/logo_44.png", PaintGrassBlock(44, 5)});
  pictures.push_back({"image/logo_20.png", PaintGrassBlock(20, 3)});
}

}  // namespace kv::skin
