// Push buttons. The ordinary and the primary (green) button are nine-slice pictures of 24 x 24
// with 5-pixel corners, stretched to any size; the start button is drawn at its own size.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

namespace kv::skin {
namespace {

enum class State { kNormal, kHot, kPushed, kDisabled };

struct Look {
  QColor top, bottom, line;
};

Look PlainLook(State state) {
  switch (state) {
    case State::kHot: return {QColor(0xFF, 0xFC, 0xEE), QColor(0xF1, 0xE9, 0xC2), palette::kDeepOchre};
    case State::kPushed: return {palette::kSand, Mix(palette::kSand, palette::kOchre, 0.3), palette::kDeepOchre.darker(110)};
    case State::kDisabled: return {QColor(0xF1, 0xF0, 0xE8), QColor(0xE8, 0xE6, 0xDA), QColor(0xC9, 0xC5, 0xB3)};
    case State::kNormal: break;
  }
  return {QColor(0xFC, 0xF9, 0xEB), QColor(0xEE, 0xE6, 0xC0), palette::kOchre};
}

// White text goes on these faces, so each keeps at least 4.5:1 against white.
Look PrimaryLook(State state) {
  switch (state) {
    case State::kHot: return {palette::kLeafFaceHotTop, palette::kLeafFaceHot, palette::kLeafEdge};
    case State::kPushed: return {palette::kLeafFaceHot, palette::kLeafFace.darker(110), palette::kLeafEdge.darker(115)};
    case State::kDisabled: return {QColor(0xC9, 0xD6, 0xB4), QColor(0xB8, 0xC7, 0xA0), QColor(0xA5, 0xB3, 0x8E)};
    case State::kNormal: break;
  }
  return {palette::kLeafFaceTop, palette::kLeafFace, palette::kLeafEdge};
}

QImage PaintNineSliceButton(const Look& look, bool pushed) {
  QImage image = NewCanvas(24, 24);
  QPainter painter(&image);
  Smooth(painter);
  const QRectF box(0, 0, 24, 24);
  FillFramedRoundedRect(painter, box, 3.5, VerticalGradient(box, look.top, look.bottom), look.line);
  // A one-pixel inner highlight at the top, or an inner shade when pressed.
  painter.setPen(QPen(pushed ? QColor(0, 0, 0, 28) : QColor(255, 255, 255, 110), 1.0));
  painter.drawLine(QPointF(3, 1.5), QPointF(21, 1.5));
  return image;
}

// The start button, 176 x 50: a raised green slab with a play sign at the left; the label is
// the control's own text, padded to the right of the sign.
QImage PaintStartButton(State state) {
  QImage image = NewCanvas(176, 50);
  QPainter painter(&image);
  Smooth(painter);
  const bool pushed = state == State::kPushed;
  const double lift = pushed ? 2.0 : 4.0;  // height of the darker base under the face
  const double dip = pushed ? 2.0 : 0.0;   // the face sinks when pressed
  const Look look = PrimaryLook(state);

  const QRectF base(0, dip, 176, 50 - dip);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette::kLeafEdge.darker(state == State::kHot ? 105 : 115));
  painter.drawRoundedRect(base, 7, 7);

  const QRectF face(0, dip, 176, 50 - dip - lift);
  FillFramedRoundedRect(painter, face, 7, VerticalGradient(face, look.top, look.bottom), look.line);
  painter.setPen(QPen(QColor(255, 255, 255, pushed ? 50 : 95), 1.0));
  painter.drawLine(QPointF(6, dip + 1.5), QPointF(170, dip + 1.5));

  // Play sign in a ring.
  const QPointF c(34, face.center().y());
  painter.setPen(QPen(QColor(255, 255, 255, 235), 2.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(c, 11, 11);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 245));
  painter.drawPolygon(QPolygonF{QPointF(c.x() - 3.5, c.y() - 6), QPointF(c.x() + 6.5, c.y()),
                                QPointF(c.x() - 3.5, c.y() + 6)});
  return image;
}

// The main window's tab options, 72 x 34: a light plate when hot, plate and underline when
// selected.
QImage PaintTab(bool selected) {
  QImage image = NewCanvas(72, 34);
  QPainter painter(&image);
  Smooth(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 245, selected ? 120 : 80));
  painter.drawRoundedRect(QRectF(0, 0, 72, 34), 6, 6);
  if (selected) {
    painter.setBrush(palette::kBark);
    painter.drawRoundedRect(QRectF(22, 29, 28, 3), 1.5, 1.5);
  }
  return image;
}

}  // namespace

void PaintButtons(PictureSet& pictures) {
  const std::pair<const char*, State> states[] = {{"Normal", State::kNormal},
                                                  {"Hot", State::kHot},
                                                  {"Pushed", State::kPushed},
                                                  {"Disabled", State::kDisabled}};
  for (const auto& [suffix, state] : states) {
    const bool pushed = state == State::kPushed;
    pictures.push_back({std::string("image/Button_") + suffix + ".png",
                        PaintNineSliceButton(PlainLook(state), pushed)});
    pictures.push_back({std::string("image/Button_Primary_") + suffix + ".png",
                        PaintNineSliceButton(PrimaryLook(state), pushed)});
  }
  pictures.push_back({"image/StartGame_Normal.png", PaintStartButton(State::kNormal)});
  pictures.push_back({"image/StartGame_Hot.png", PaintStartButton(State::kHot)});
  pictures.push_back({"image/StartGame_Pushed.png", PaintStartButton(State::kPushed)});
  pictures.push_back({"image/Tab_Hot.png", PaintTab(false)});
  pictures.push_back({"image/Tab_Selected.png", PaintTab(true)});
}

}  // namespace kv::skin
