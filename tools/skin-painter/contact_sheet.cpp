#include "tools/skin-painter/contact_sheet.h"

#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>

namespace kv::skin {
namespace {

constexpr int kSheetWidth = 1400;
constexpr int kGap = 16;
constexpr int kLabelHeight = 16;

struct Cell {
  QString label;
  QImage image;
};

// A light checkerboard behind each picture shows where it is transparent.
void PaintChecks(QPainter& painter, const QRect& area) {
  painter.save();
  painter.setClipRect(area);
  for (int y = area.top(); y < area.bottom(); y += 8) {
    for (int x = area.left(); x < area.right(); x += 8) {
      const bool dark = ((x - area.left()) / 8 + (y - area.top()) / 8) % 2 == 1;
      painter.fillRect(QRect(x, y, 8, 8), dark ? QColor(0xE4, 0xE4, 0xDC) : QColor(0xFA, 0xFA, 0xF6));
    }
  }
  painter.restore();
}

}  // namespace

QImage MakeContactSheet(const PictureSet& pictures, const Animation& animation, int scale) {
  std::vector<Cell> cells;
  for (const Picture& picture : pictures) {
    cells.push_back({QString::fromStdString(picture.name).remove("image/"),
                     picture.image.scaled(picture.image.size() * scale)});
  }
  for (std::size_t i = 0; i < animation.frames.size(); ++i) {
    const QImage& frame = animation.frames[i];
    cells.push_back({QString("Loading.gif #%1").arg(i), frame.scaled(frame.size() * scale)});
  }

  // Lay the cells out in rows, left to right.
  QFont font("WenQuanYi Micro Hei");
  font.setPixelSize(11);
  const QFontMetrics metrics(font);
  std::vector<QRect> places;
  int x = kGap, y = kGap, rowHeight = 0;
  for (const Cell& cell : cells) {
    const int w = std::max(cell.image.width(), metrics.horizontalAdvance(cell.label));
    const int h = cell.image.height() + kLabelHeight;
    if (x + w > kSheetWidth - kGap && x > kGap) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    places.emplace_back(x, y, w, h);
    x += w + kGap;
    rowHeight = std::max(rowHeight, h);
  }

  QImage sheet = NewCanvas(kSheetWidth, y + rowHeight + kGap, palette::kPaper);
  QPainter painter(&sheet);
  painter.setFont(font);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const QRect imageArea(places[i].topLeft(), cells[i].image.size());
    PaintChecks(painter, imageArea);
    painter.drawImage(imageArea.topLeft(), cells[i].image);
    painter.setPen(palette::kBark);
    painter.drawText(QRect(places[i].left(), imageArea.bottom() + 2, places[i].width(), kLabelHeight),
                     Qt::AlignLeft | Qt::AlignTop, cells[i].label);
  }
  return sheet;
}

}  // namespace kv::skin
