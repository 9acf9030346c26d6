// The message dialog's background strip: three 111 x 120 tiles side by side (warning,
// question, error/information). The dialog keeps the left 111 pixels of the chosen tile
// unstretched, stretches them from 120 to the 134-pixel height of its text area, and shows its
// own plain background to the right. The sign is a large, faint watermark because the message
// text, centred over the whole width, runs across it when it is long.
#include "tools/skin-painter/palette.h"
#include "tools/skin-painter/paint_kit.h"
#include "tools/skin-painter/picture_set.h"

namespace kv::skin {
namespace {

constexpr int kTileWidth = 111;
constexpr int kTileHeight = 120;
// The dialog stretches the tile to its text area's height; the sign is drawn squeezed by the
// inverse so that it comes out round on screen.
constexpr double kShownHeight = 134.0;
constexpr double kSquash = kTileHeight / kShownHeight;

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
    triangle.moveTo(box.center().x(), box.top() + box.height() * 0.04);
    triangle.lineTo(box.right(), box.bottom() - box.height() * 0.08);
    triangle.lineTo(box.left(), box.bottom() - box.height() * 0.08);
    triangle.closeSubpath();
    QPainterPathStroker round;
    round.setWidth(box.width() * 0.08);
    round.setJoinStyle(Qt::RoundJoin);
    shape = triangle.united(round.createStroke(triangle));
  } else {
    shape.addEllipse(box);
  }
  return shape;
}

QImage PaintTile(Sign sign, const QColor& colour) {
  QImage tile = NewCanvas(kTileWidth, kTileHeight, palette::kPaper);
  QPainter painter(&tile);
  Smooth(painter);
  // An accent stripe along the left edge, full height so that stretching keeps it clean.
  painter.fillRect(QRectF(0, 0, 4, kTileHeight), colour);
  painter.fillRect(QRectF(4, 0, 1, kTileHeight), WithAlpha(colour, 90));

  // The watermark sign, faded into the page colour so that text over it stays readable. It is
  // drawn in a layer of its own whose right end fades out, so that the tile's right edge is
  // exactly the page colour that the dialog continues with.
  QImage watermark = NewCanvas(kTileWidth, kTileHeight);
  {
    QPainter layer(&watermark);
    Smooth(layer);
    layer.translate(0, kTileHeight / 2.0);
    layer.scale(1.0, kSquash);
    layer.translate(0, -kShownHeight / 2.0);
    const QRectF box(14, kShownHeight / 2.0 - 41, 82, 82);
    layer.setPen(Qt::NoPen);
    layer.setBrush(Mix(palette::kPaper, colour, 0.22));
    layer.drawPath(SignShape(sign, box));
    const QRectF glyphBox =
        sign == Sign::kWarning ? box.adjusted(16, 22, -16, -6) : box.adjusted(12, 12, -12, -12);
    layer.setBrush(Mix(palette::kPaper, colour, 0.04));
    layer.drawPath(GlyphPath(sign, glyphBox));
    layer.resetTransform();
    QLinearGradient fade(QPointF(kTileWidth - 24, 0), QPointF(kTileWidth, 0));
    fade.setColorAt(0, Qt::black);
    fade.setColorAt(1, Qt::transparent);
    layer.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    layer.fillRect(QRectF(kTileWidth - 24, 0, 24, kTileHeight), fade);
  }
  painter.drawImage(0, 0, watermark);
  return tile;
}

}  // namespace

void PaintMessageTiles(PictureSet& pictures) {
  pictures.push_back({"image/MessageDialog/BK.png",
                      JoinStrip({PaintTile(Sign::kWarning, palette::kAmber),
                                 PaintTile(Sign::kQuestion, palette::kSky),
                                 PaintTile(Sign::kError, palette::kBrick)})});
}

}  // namespace kv::skin
