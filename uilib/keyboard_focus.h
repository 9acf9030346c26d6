#pragma once

#include <vector>

// Moving the focus from the keyboard: the order Tab follows, and the focused control kept in view.
namespace kv::ui {

class CControlUI;

// Whether Tab stops at the control: a visible, enabled control that takes keyboard input.
bool IsTabStop(const CControlUI& control);

// The Tab stop that holds the focus of `focus`: the control itself, or the nearest Tab stop
// around it (a list around its focused row); null when there is none.
CControlUI* TabStopHolding(CControlUI* focus);

// The controls that take the focus from Tab, in the order Tab visits them: the children of a
// container in the order they stand on the window (from the left in a row, otherwise from the
// top and then from the left, floating ones where they float), and everything inside a
// container before what follows it. Only visible, enabled controls that take keyboard input.
std::vector<CControlUI*> TabStops(CControlUI* root);

// Scrolls the control's scrolling ancestors so that as much of it as fits is in view.
void ScrollIntoView(CControlUI& control);

}  // namespace kv::ui
