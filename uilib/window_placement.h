#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "uilib/window.h"

// Placing a window beside another, so that neither covers the other: a log beside the window
// whose game it follows.
namespace kv::ui {

// Where the two windows go: `window` for the placed one, `anchorTopLeft` for the one it sits
// beside (moved only when there is no room otherwise).
struct SideBySide {
  QRect window;
  QPoint anchorTopLeft;
};

// A window of `size` beside `anchor` within `area` (a screen's work area), `gap` pixels apart,
// top edges level: to the right when it fits, else to the left; narrowed, though not below
// `minimum`'s width, to fit the wider side; else, where the area is wide enough for both, the
// two shifted to stand side by side in its middle; only an area too small for that leaves them
// overlapping, with the window at the area's right edge.
SideBySide PlaceBeside(const QRect& anchor, QSize size, QSize minimum, const QRect& area, int gap);

// Moves (and, when it has to, narrows) `window` beside `anchor` on the anchor's screen, moving
// the anchor too when that is the only way for both to be seen whole.
void MoveBeside(HWND window, HWND anchor, QSize minimum, int gap);

}  // namespace kv::ui
