// Input fields for the dialogs with text entry: the edit frame (a nine-slice of 24 x 24 with
// 4-pixel corners) and the combo box (40 x 24, corners "4,4,22,4": the right corner holds the
// drop-down arrow and is never stretched).
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

namespace kv::skin {
namespace {

enum class State { kNormal, kHot, kFocused, kDisabled };

QColor LineColour(State state) {
  switch (state) {
    case State::kHot: return palette::kDeepOchre;
    case State::kFocused: return palette::kLeaf;
    case State::kDisabled: return QColor(0xD4, 0xD0, 0xBE);
    case State::kNormal: break;
  }
  return palette::kOchre;
}

QColor FillColour(State state) {
  return state == State::kDisabled ? QColor(0xF0, 0xEF, 0xE6) : palette::kCream;
}

QImage PaintEdit(State state) {
  QImage image = NewCanvas(24, 24);
  QPainter painter(&image);
  Smooth(painter);
  FillFramedRoundedRect(painter, QRectF(0, 0, 24, 24), 3, FillColour(state), LineColour(state));
  if (state == State::kFocused) {
    // A second, soft line inside shows focus without changing the field's size.
    painter.setPen(QPen(WithAlpha(palette::kLeafLight, 90), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 2.5, 2.5);
  }
  return image;
}

QImage PaintCombo(State state) {
  QImage image = NewCanvas(40, 24);
  QPainter painter(&image);
  Smooth(painter);
  FillFramedRoundedRect(painter, QRectF(0, 0, 40, 24), 3, FillColour(state), LineColour(state));
  // The arrow's own well at the right.
  const QRectF well(22, 1, 17, 22);
  if (state == State::kHot || state == State::kFocused) {
    painter.fillRect(well, WithAlpha(palette::kSand, state == State::kFocused ? 200 : 120));
  }
  painter.fillRect(QRectF(21, 4, 1, 16), WithAlpha(LineColour(state), 150));
  painter.setPen(Qt::NoPen);
  painter.setBrush(state == State::kDisabled ? QColor(0xC0, 0xBC, 0xAA) : palette::kBark);
  painter.drawPolygon(QPolygonF{QPointF(26.5, 10), QPointF(34.5, 10), QPointF(30.5, 14.5)});
  return image;
}

}  // namespace

void PaintFields(PictureSet& pictures) {
  const std::pair<const char*, State> states[] = {{"Normal", State::kNormal},
                                                  {"Hot", State::kHot},
                                                  {"Focused", State::kFocused},
                                                  {"Disabled", State::kDisabled}};
  for (const auto& [suffix, state] : states) {
    pictures.push_back({std::string("image/Edit_") + suffix + ".png", PaintEdit(state)});
  }
  // A combo is "pushed" while its list is open; it looks like the focused field.
  pictures.push_back({"image/Combo_Normal.png", PaintCombo(State::kNormal)});
  pictures.push_back({"image/Combo_Hot.png", PaintCombo(State::kHot)});
  pictures.push_back({"image/Combo_Pushed.png", PaintCombo(State::kFocused)});
  pictures.push_back({"image/Combo_Disabled.png", PaintCombo(State::kDisabled)});
}

}  // namespace kv::skin
