#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <vector>

// Small drawing helpers shared by the skin's painters.
namespace kv::skin {

// A transparent canvas of w x h pixels.
QImage NewCanvas(int w, int h);

// A canvas filled with one opaque colour.
QImage NewCanvas(int w, int h, const QColor& fill);

// Switches on the anti-aliasing every picture of the skin is drawn with.
void Smooth(QPainter& painter);

// The same colour with another alpha (0..255).
QColor WithAlpha(QColor colour, int alpha);

// Blends `a` towards `b` by t (0 = a, 1 = b).
QColor Mix(const QColor& a, const QColor& b, double t);

// A top-to-bottom gradient over `rect`.
QLinearGradient VerticalGradient(const QRectF& rect, const QColor& top, const QColor& bottom);

// Fills a rounded rectangle and strokes it with a 1-pixel line that stays on whole pixels:
// `rect` is the outer edge of the line.
void FillFramedRoundedRect(QPainter& painter, const QRectF& rect, double radius,
                           const QBrush& fill, const QColor& line);

// Draws the state images side by side into one strip, each cell as wide as the first image.
QImage JoinStrip(const std::vector<QImage>& cells);

// A tick mark scaled into `box` (used by check boxes and badges).
QPainterPath TickPath(const QRectF& box);

// A plus sign of the given arm thickness centred in `box`.
QPainterPath PlusPath(const QRectF& box, double thickness);

}  // namespace kv::skin
