#pragma once

#include <QPainter>
#include <QRect>
#include <QRegion>
#include <QSize>

// Rounded window corners. Where the window system shows per-pixel transparency (a compositor)
// the corners are cut while painting, with smooth edges; elsewhere a window can only be cut to
// a region of whole pixels. Either way all four corners are alike.
namespace kv::ui {

// Clears what lies outside the rounded rectangle `rect` with corner ellipses of `corner`,
// partly at the edge pixels: the corners become transparent with anti-aliased edges.
void CutRoundCorners(QPainter& painter, const QRect& rect, QSize corner);

// The pixels of a `size` rectangle with rounded corners of ellipses `corner`, for a window cut
// to a region: a pixel belongs when its centre lies inside, the same in all four corners.
QRegion RoundedRegion(QSize size, QSize corner);

// Whether windows can have see-through, smoothly cut corners here.
bool SmoothCornersSupported();

}  // namespace kv::ui
