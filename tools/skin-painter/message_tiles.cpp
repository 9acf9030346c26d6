// The message dialog's pictures. BK.png: three 111 x 120 tiles side by side (warning,
// question, error/information), the background of the text area; the dialog keeps the left
// 111 pixels of the chosen tile unstretched across and stretches them to the area's height,
// which grows with the text, so the tiles hold only what stretches cleanly: the page colour
// and an accent stripe along the left edge. Icon.png: the three signs, 36 x 36 each in the
// same order, shown beside the text at their own size, solid enough to be seen at once.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

namespace kv::skin {
namespace {

constexpr int kTileWidth = 111;
constexpr int kTileHeight = 120;
constexpr int kIcon = 36;

enum class Sign { kWarning, kQuestion, kError };

QPainterPath GlyphPath(Sign sign, const QRectF& box) {
  QPainterPath path;
  const double cx = box.center().x();
  const double u = box.width() / 10.0;
  if (sign == Sign::kQuestion) {
    // A question mark built from a thick arc, a stem and a dot.
    QPainterPath hook;
    hook.arcMoveTo(QRectF(cx - 2.6 * u, box.top() + 1.4 * u, 5.2 * u, 4.6 * u), 160);
    hook.arcTo(QRectF(cx - 2.6 * u, box.top() + 1.4 * u, 5.2 * u, 4.6 * u), 160, -250);
    hook.lineTo(cx, box.top() + 6.6 * u);
    QPainterPathStroker stroker;
    stroker.setWidth(1.5 * u);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    path = stroker.createStroke(hook);
    path.addEllipse(QPointF(cx, box.top() + 8.4 * u), 0.95 * u, 0.95 * u);
  } else {
    path.addRoundedRect(QRectF(cx - 0.75 * u, box.top() + 2.0 * u, 1.5 * u, 4.8 * u), 0.7 * u,
                        0.7 * u);
    path.addEllipse(QPointF(cx, box.top() + 8.2 * u), 0.95 * u, 0.95 * u);
  }
  return path.simplified();
}

QPainterPath SignShape(Sign sign, const QRectF& box) {
  QPainterPath shape;
  if (sign == Sign::kWarning) {
    // A triangle with rounded corners.
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top() + box.height() * 0.06);
    triangle.lineTo(box.right() - box.width() * 0.03, box.bottom() - box.height() * 0.08);
    triangle.lineTo(box.left() + box.width() * 0.03, box.bottom() - box.height() * 0.08);
    triangle.closeSubpath();
    QPainterPathStroker round;
    round.setWidth(box.width() * 0.1);
    round.setJoinStyle(Qt::RoundJoin);
    shape = triangle.united(round.createStroke(triangle));
  } else {
    shape.addEllipse(box);
  }
  return shape;
}

QImage PaintTile(const QColor& colour) {
  QImage tile = NewCanvas(kTileWidth, kTileHeight, palette::kPaper);
  QPainter painter(&tile);
  painter.fillRect(QRectF(0, 0, 4, kTileHeight), colour);
  painter.fillRect(QRectF(4, 0, 1, kTileHeight), WithAlpha(colour, 90));
  return tile;
}

QImage PaintIcon(Sign sign, const QColor& colour) {
  QImage icon = NewCanvas(kIcon, kIcon);
  QPainter painter(&icon);
  Smooth(painter);
  const QRectF box(1, 1, kIcon - 2, kIcon - 2);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPath(SignShape(sign, box));
  const QRectF glyphBox = sign == Sign::kWarning ? box.adjusted(9, 10, -9, -4) : box.adjusted(6, 6, -6, -6);
  painter.setBrush(Qt::white);
  painter.drawPath(GlyphPath(sign, glyphBox));
  return icon;
}

}  // namespace

void PaintMessageTiles(PictureSet& pictures) {
  pictures.push_back({"image/MessageDialog/BK.png",
                      JoinStrip({PaintTile(palette::kAmber), PaintTile(palette::kSky), PaintTile(palette::kBrick)})});
  pictures.push_back({"image/MessageDialog/Icon.png",
                      JoinStrip({PaintIcon(Sign::kWarning, palette::kSignAmber), PaintIcon(Sign::kQuestion, palette::kSignSky),
                                 PaintIcon(Sign::kError, palette::kSignBrick)})});
}

}  // namespace kv::skin
