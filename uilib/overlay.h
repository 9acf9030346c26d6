#pragma once

#include <QString>

#include "uilib/ui_types.h"

class QWidget;

// Helpers for the native Qt widgets that text controls place over themselves.
namespace kv::ui {

class CControlUI;

// Puts `overlay` over `rect` (window coordinates) of `control`, masked to what the control's
// ancestors leave visible; hides it when nothing of it is visible.
void PlaceOverlay(QWidget* overlay, const CControlUI& control, const UiRect& rect);

// A style-sheet colour with alpha: rgba(r, g, b, a).
QString CssRgba(ARGB color);

// Style-sheet rules for slim scroll bars that match the library's own.
QString SlimScrollBarStyle();

}  // namespace kv::ui
