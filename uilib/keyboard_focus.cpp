#include "uilib/keyboard_focus.h"

#include <algorithm>

#include "uilib/container.h"
#include "uilib/control.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

CContainerUI* AsContainer(CControlUI* control) {
  return ui_cast<CContainerUI>(control);
}

// Children in the order they stand: a row reads from the left, anything else from the top.
std::vector<CControlUI*> ChildrenByPosition(CContainerUI& container) {
  std::vector<CControlUI*> children;
  children.reserve(static_cast<std::size_t>(container.GetCount()));
  for (int i = 0; i < container.GetCount(); ++i) children.push_back(container.GetItemAt(i));
  const bool row = container.GetInterface(QStringLiteral("HorizontalLayout")) != nullptr;
  std::stable_sort(children.begin(), children.end(), [row](const CControlUI* a, const CControlUI* b) {
    const UiRect& ra = a->GetPos();
    const UiRect& rb = b->GetPos();
    if (row || ra.top == rb.top) return ra.left < rb.left;
    return ra.top < rb.top;
  });
  return children;
}

void Collect(CControlUI* control, std::vector<CControlUI*>& stops) {
  if (!control || !control->IsVisible()) return;
  if (IsTabStop(*control)) stops.push_back(control);
  if (CContainerUI* container = AsContainer(control)) {
    for (CControlUI* child : ChildrenByPosition(*container)) Collect(child, stops);
  }
}

// How far a range must move so that [low, high) shows inside [viewLow, viewHigh); its start
// wins when it does not fit.
int ShiftIntoView(int low, int high, int viewLow, int viewHigh) {
  if (low < viewLow) return low - viewLow;
  if (high > viewHigh) return std::min(high - viewHigh, low - viewLow);
  return 0;
}

}  // namespace

bool IsTabStop(const CControlUI& control) {
  return (control.GetControlFlags() & UIFLAG_TABSTOP) && control.IsKeyboardEnabled() && control.IsEnabled();
}

CControlUI* TabStopHolding(CControlUI* focus) {
  for (CControlUI* c = focus; c; c = c->GetParent()) {
    if (IsTabStop(*c)) return c;
  }
  return nullptr;
}

std::vector<CControlUI*> TabStops(CControlUI* root) {
  std::vector<CControlUI*> stops;
  Collect(root, stops);
  return stops;
}

void ScrollIntoView(CControlUI& control) {
  for (CControlUI* ancestor = control.GetParent(); ancestor; ancestor = ancestor->GetParent()) {
    CContainerUI* container = AsContainer(ancestor);
    if (!container || (!container->GetVerticalScrollBar() && !container->GetHorizontalScrollBar())) continue;
    const UiRect view = container->GetPos().Deflated(container->ContentInsets());
    const UiRect& rc = control.GetPos();
    const int dx = ShiftIntoView(rc.left, rc.right, view.left, view.right);
    const int dy = ShiftIntoView(rc.top, rc.bottom, view.top, view.bottom);
    if (dx == 0 && dy == 0) continue;
    const QSize pos = container->GetScrollPos();
    container->SetScrollPos({pos.width() + dx, pos.height() + dy});
  }
}

}  // namespace kv::ui
