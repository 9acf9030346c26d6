#include "uilib/container.h"

#include <QPainter>

#include "uilib/attribute_values.h"
#include "uilib/paint_manager.h"
#include "uilib/scroll_bar.h"

namespace kv::ui {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  // Children go first, while this container still answers for them.
  std::vector<CControlUI*> items;
  items.swap(items_);
  for (CControlUI* item : items) delete item;
  delete vscroll_;
  delete hscroll_;
}

QString CContainerUI::GetClass() const { return QStringLiteral("ContainerUI"); }

void* CContainerUI::GetInterface(const QString& name) {
  if (name.compare(u"Container", Qt::CaseInsensitive) == 0 || name.compare(u"IContainer", Qt::CaseInsensitive) == 0) {
    return this;
  }
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return items_[static_cast<std::size_t>(index)];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == control) return static_cast<int>(i);
  }
  return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  const int current = GetItemIndex(control);
  if (current < 0 || index < 0 || index >= GetCount()) return false;
  items_.erase(items_.begin() + current);
  items_.insert(items_.begin() + index, control);
  NeedUpdate();
  return true;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > GetCount() || GetItemIndex(control) >= 0) return false;
  items_.insert(items_.begin() + index, control);
  control->SetManager(manager_, this, manager_ != nullptr);
  control->SetInternVisible(IsVisible());
  NeedUpdate();
  return true;
}

void CContainerUI::ReleaseChild(CControlUI* control, bool doNotDestroy) {
  if (manager_) manager_->ReapObjects(control);
  if (doNotDestroy || !autoDestroy_) {
    control->SetManager(nullptr, nullptr, false);
  } else if (delayedDestroy_ && manager_) {
    manager_->AddDelayedCleanup(control);
  } else {
    delete control;
  }
}

bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return RemoveAt(index, doNotDestroy);
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy) {
  CControlUI* control = GetItemAt(index);
  if (!control) return false;
  items_.erase(items_.begin() + index);
  ReleaseChild(control, doNotDestroy);
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  std::vector<CControlUI*> items;
  items.swap(items_);
  for (CControlUI* item : items) ReleaseChild(item, false);
  if (vscroll_ || hscroll_) SetScrollPos({0, 0});
  NeedUpdate();
}

void CContainerUI::SetInset(const UiRect& inset) {
  inset_ = inset;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = padding;
  NeedUpdate();
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
  auto make = [this](bool hor) {
    auto* bar = new CScrollBarUI();
    bar->SetOwner(this);
    bar->SetHorizontal(hor);
    bar->SetVisible(false);
    bar->SetManager(manager_, this, false);
    if (manager_) {
      const QString defaults = manager_->GetDefaultAttributeList(hor ? QStringLiteral("HScrollBar") : QStringLiteral("VScrollBar"));
      if (!defaults.isEmpty()) bar->ApplyAttributeList(defaults);
    }
    return bar;
  };
  if (vertical && !vscroll_) vscroll_ = make(false);
  if (!vertical && vscroll_) {
    if (manager_) manager_->ReapObjects(vscroll_);
    delete vscroll_;
    vscroll_ = nullptr;
  }
  if (horizontal && !hscroll_) hscroll_ = make(true);
  if (!horizontal && hscroll_) {
    if (manager_) manager_->ReapObjects(hscroll_);
    delete hscroll_;
    hscroll_ = nullptr;
  }
  NeedUpdate();
}

QSize CContainerUI::GetScrollPos() const {
  return {hscroll_ && hscroll_->IsVisible() ? hscroll_->GetScrollPos() : 0,
          vscroll_ && vscroll_->IsVisible() ? vscroll_->GetScrollPos() : 0};
}

QSize CContainerUI::GetScrollRange() const {
  return {hscroll_ && hscroll_->IsVisible() ? hscroll_->GetScrollRange() : 0,
          vscroll_ && vscroll_->IsVisible() ? vscroll_->GetScrollRange() : 0};
}

void CContainerUI::SetScrollPos(QSize pos) {
  const QSize old = GetScrollPos();
  if (vscroll_) vscroll_->SetScrollPos(pos.height());
  if (hscroll_) hscroll_->SetScrollPos(pos.width());
  if (GetScrollPos() == old) return;
  SetPos(rcItem_, false);
  Invalidate();
}

int CContainerUI::ScrollUnit() const {
  if (scrollUnit_ > 0) return scrollUnit_;
  return (manager_ ? manager_->GetDefaultFontHeight() : 12) + 8;
}

void CContainerUI::LineUp() { SetScrollPos(GetScrollPos() - QSize(0, ScrollUnit())); }
void CContainerUI::LineDown() { SetScrollPos(GetScrollPos() + QSize(0, ScrollUnit())); }
void CContainerUI::PageUp() { SetScrollPos(GetScrollPos() - QSize(0, std::max(1, ContentRect().Height()))); }
void CContainerUI::PageDown() { SetScrollPos(GetScrollPos() + QSize(0, std::max(1, ContentRect().Height()))); }
void CContainerUI::HomeUp() { SetScrollPos({GetScrollPos().width(), 0}); }
void CContainerUI::EndDown() { SetScrollPos({GetScrollPos().width(), GetScrollRange().height()}); }
void CContainerUI::LineLeft() { SetScrollPos(GetScrollPos() - QSize(ScrollUnit(), 0)); }
void CContainerUI::LineRight() { SetScrollPos(GetScrollPos() + QSize(ScrollUnit(), 0)); }

UiRect CContainerUI::ContentInsets() const {
  UiRect insets = inset_;
  if (vscroll_ && vscroll_->IsVisible()) insets.right += vscroll_->Thickness();
  if (hscroll_ && hscroll_->IsVisible()) insets.bottom += hscroll_->Thickness();
  return insets;
}

UiRect CContainerUI::ContentRect() const {
  UiRect rc = rcItem_.Deflated(ContentInsets());
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  return rc;
}

void CContainerUI::PlaceFloatingChildren() {
  for (CControlUI* item : items_) {
    if (item->IsVisible() && item->IsFloat()) item->SetPos(item->FloatRect(rcItem_), false);
  }
}

void CContainerUI::SetPos(UiRect rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  const UiRect content = ContentRect();
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    UiRect child = content.Deflated(item->GetPadding());
    const int w = std::clamp(child.Width(), item->GetMinWidth(), std::max(item->GetMinWidth(), item->GetMaxWidth()));
    const int h =
        std::clamp(child.Height(), item->GetMinHeight(), std::max(item->GetMinHeight(), item->GetMaxHeight()));
    child.right = child.left + w;
    child.bottom = child.top + h;
    item->SetPos(child, false);
  }
  PlaceFloatingChildren();
  ProcessScrollBar(content, 0, 0);
}

void CContainerUI::ProcessScrollBar(const UiRect& content, int cxNeeded, int cyNeeded) {
  bool relayout = false;
  if (vscroll_) {
    if (cyNeeded > content.Height()) {
      const int oldPos = vscroll_->GetScrollPos();
      vscroll_->SetScrollRange(cyNeeded - content.Height());
      if (!vscroll_->IsVisible()) {
        vscroll_->SetVisible(true);
        vscroll_->SetScrollPos(0);
        relayout = true;
      } else if (vscroll_->GetScrollPos() != oldPos) {
        relayout = true;
      }
      const int t = vscroll_->Thickness();
      vscroll_->SetPos({content.right, content.top, content.right + t, content.bottom}, false);
    } else if (vscroll_->IsVisible() || vscroll_->GetScrollPos() != 0) {
      vscroll_->SetVisible(false);
      vscroll_->SetScrollRange(0);
      vscroll_->SetScrollPos(0);
      relayout = true;
    }
  }
  if (hscroll_) {
    if (cxNeeded > content.Width()) {
      const int oldPos = hscroll_->GetScrollPos();
      hscroll_->SetScrollRange(cxNeeded - content.Width());
      if (!hscroll_->IsVisible()) {
        hscroll_->SetVisible(true);
        hscroll_->SetScrollPos(0);
        relayout = true;
      } else if (hscroll_->GetScrollPos() != oldPos) {
        relayout = true;
      }
      const int t = hscroll_->Thickness();
      hscroll_->SetPos({content.left, content.bottom, content.right, content.bottom + t}, false);
    } else if (hscroll_->IsVisible() || hscroll_->GetScrollPos() != 0) {
      hscroll_->SetVisible(false);
      hscroll_->SetScrollRange(0);
      hscroll_->SetScrollPos(0);
      relayout = true;
    }
  }
  // One more pass with the bars' new room; never more, so that content whose height depends
  // on its width cannot make the bars flicker.
  if (relayout && !scrollProcessing_) {
    scrollProcessing_ = true;
    SetPos(rcItem_, false);
    scrollProcessing_ = false;
  }
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  for (CControlUI* item : items_) item->SetManager(manager, this, init);
  if (vscroll_) vscroll_->SetManager(manager, this, init);
  if (hscroll_) hscroll_->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  CControlUI::SetVisible(visible);
  for (CControlUI* item : items_) item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (CControlUI* item : items_) item->SetInternVisible(IsVisible());
}

void CContainerUI::DoEvent(TEventUI& event) {
  if (event.type == UiEvent::ScrollWheel && vscroll_ && vscroll_->IsVisible() && vscroll_->IsEnabled()) {
    if (event.wParam == 0) LineUp();
    else LineDown();
    return;
  }
  if (event.type == UiEvent::ScrollWheel && hscroll_ && hscroll_->IsVisible() && hscroll_->IsEnabled()) {
    if (event.wParam == 0) LineLeft();
    else LineRight();
    return;
  }
  CControlUI::DoEvent(event);
}

void CContainerUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"inset") SetInset(ParseRect(value));
  else if (name == u"mousechild") SetMouseChildEnabled(ParseBool(value));
  else if (name == u"vscrollbar") EnableScrollBar(ParseBool(value), hscroll_ != nullptr);
  else if (name == u"hscrollbar") EnableScrollBar(vscroll_ != nullptr, ParseBool(value));
  else if (name == u"vscrollbarstyle") {
    EnableScrollBar(true, hscroll_ != nullptr);
    vscroll_->ApplyAttributeList(value);
  } else if (name == u"hscrollbarstyle") {
    EnableScrollBar(vscroll_ != nullptr, true);
    hscroll_->ApplyAttributeList(value);
  } else if (name == u"childpadding") SetChildPadding(ParseInt(value));
  else if (name == u"scrollunit" || name == u"scrollstepsize") scrollUnit_ = std::max(0, ParseInt(value));
  else CControlUI::SetAttribute(rawName, value);
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
  if (flags & UIFIND_HITTEST) {
    if (!rcItem_.Contains(*static_cast<const QPoint*>(data))) return nullptr;
    if (!mouseChildEnabled_) return CControlUI::FindControl(proc, data, flags);
  }
  if (flags & UIFIND_ME_FIRST) {
    if (CControlUI* self = CControlUI::FindControl(proc, data, flags)) return self;
  }
  for (CScrollBarUI* bar : {vscroll_, hscroll_}) {
    if (!bar) continue;
    if (CControlUI* found = bar->FindControl(proc, data, flags)) return found;
  }
  const UiRect content = ContentRect();
  const QPoint* pt = (flags & UIFIND_HITTEST) ? static_cast<const QPoint*>(data) : nullptr;
  const auto visit = [&](CControlUI* item) -> CControlUI* {
    if (pt && !item->IsFloat() && !content.Contains(*pt)) return nullptr;
    return item->FindControl(proc, data, flags);
  };
  if (flags & UIFIND_TOP_FIRST) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
      if (CControlUI* found = visit(*it)) return found;
    }
  } else {
    for (CControlUI* item : items_) {
      if (CControlUI* found = visit(item)) return found;
    }
  }
  if (!(flags & UIFIND_ME_FIRST)) return CControlUI::FindControl(proc, data, flags);
  return nullptr;
}

void CContainerUI::PaintChildren(QPainter& painter, const UiRect& paint) {
  const UiRect content = ContentRect().Intersected(paint);
  for (CControlUI* item : items_) {
    if (!item->IsVisible()) continue;
    const UiRect clip = item->IsFloat() ? paint : content;
    if (clip.IsEmpty() || !item->GetPos().Intersects(clip)) continue;
    painter.save();
    painter.setClipRect(clip.ToQRect(), Qt::IntersectClip);
    item->DoPaint(painter, clip);
    painter.restore();
  }
  for (CScrollBarUI* bar : {vscroll_, hscroll_}) {
    if (bar && bar->IsVisible()) bar->DoPaint(painter, paint);
  }
}

CControlUI* CContainerUI::FindSubControl(const QString& name) {
  struct Finder {
    static CControlUI* ByName(CControlUI* c, void* data) {
      return c->GetName() == *static_cast<const QString*>(data) ? c : nullptr;
    }
  };
  QString key = name;
  return FindControl(&Finder::ByName, &key, UIFIND_ALL);
}

}  // namespace kv::ui
