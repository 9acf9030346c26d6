#include "uilib/layouts.h"

#include "uilib/attribute_values.h"
#include "uilib/paint_manager.h"
#include "uilib/scroll_bar.h"

namespace kv::ui {
namespace {

ChildAlign ParseAlign(const QString& value) {
  const QString v = value.toLower();
  if (v == u"center" || v == u"vcenter") return ChildAlign::kCenter;
  if (v == u"right" || v == u"bottom") return ChildAlign::kEnd;
  return ChildAlign::kStart;
}

int Clamp(int v, int lo, int hi) { return std::clamp(v, lo, std::max(lo, hi)); }

int Aligned(ChildAlign align, int start, int room, int size) {
  switch (align) {
    case ChildAlign::kCenter: return start + (room - size) / 2;
    case ChildAlign::kEnd: return start + room - size;
    case ChildAlign::kStart: break;
  }
  return start;
}

}  // namespace

// ---- VerticalLayout ----

QString CVerticalLayoutUI::GetClass() const { return QStringLiteral("VerticalLayoutUI"); }

void* CVerticalLayoutUI::GetInterface(const QString& name) {
  if (name.compare(u"VerticalLayout", Qt::CaseInsensitive) == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(u"childalign", Qt::CaseInsensitive) == 0) {
    childAlign_ = ParseAlign(value);
    NeedUpdate();
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CVerticalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  const UiRect content = ContentRect();
  QSize avail(content.Width(), content.Height());
  if (vscroll_ && vscroll_->IsVisible()) avail.rheight() += vscroll_->GetScrollRange();

  struct Wanted {
    CControlUI* control;
    QSize size;
  };
  std::vector<Wanted> wanted;
  int adjustables = 0;
  int fixed = 0;
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const UiRect& pad = item->GetPadding();
    QSize offer(avail.width() - pad.left - pad.right, avail.height() - fixed);
    QSize sz = item->EstimateSize(offer);
    if (sz.height() == 0) {
      ++adjustables;
    } else {
      sz.setHeight(Clamp(sz.height(), item->GetMinHeight(), item->GetMaxHeight()));
      fixed += sz.height();
    }
    fixed += pad.top + pad.bottom;
    wanted.push_back({item, sz});
  }
  if (!wanted.empty()) fixed += (static_cast<int>(wanted.size()) - 1) * childPadding_;

  const int expand = adjustables > 0 ? std::max(0, (avail.height() - fixed) / adjustables) : 0;
  int usedByAdjustables = 0;
  int adjustIndex = 0;
  int y = content.top - GetScrollPos().height();
  int needed = 0;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    CControlUI* item = wanted[i].control;
    QSize sz = wanted[i].size;
    const UiRect& pad = item->GetPadding();
    if (sz.height() == 0) {
      ++adjustIndex;
      int h = expand;
      if (adjustIndex == adjustables) h = std::max(0, avail.height() - fixed - usedByAdjustables);
      h = Clamp(h, item->GetMinHeight(), item->GetMaxHeight());
      usedByAdjustables += h;
      sz.setHeight(h);
    }
    const int room = content.Width() - pad.left - pad.right;
    int w = sz.width() == 0 ? room : sz.width();
    w = Clamp(w, item->GetMinWidth(), item->GetMaxWidth());
    const int x = Aligned(childAlign_, content.left + pad.left, room, w);
    y += pad.top;
    item->SetPos({x, y, x + w, y + sz.height()}, false);
    y += sz.height() + pad.bottom;
    needed += pad.top + sz.height() + pad.bottom;
    if (i + 1 < wanted.size()) {
      y += childPadding_;
      needed += childPadding_;
    }
  }
  PlaceFloatingChildren();
  ProcessScrollBar(content, 0, needed);
}

// ---- HorizontalLayout ----

QString CHorizontalLayoutUI::GetClass() const { return QStringLiteral("HorizontalLayoutUI"); }

void* CHorizontalLayoutUI::GetInterface(const QString& name) {
  if (name.compare(u"HorizontalLayout", Qt::CaseInsensitive) == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(u"childvalign", Qt::CaseInsensitive) == 0) {
    childVAlign_ = ParseAlign(value);
    NeedUpdate();
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CHorizontalLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  const UiRect content = ContentRect();
  QSize avail(content.Width(), content.Height());
  if (hscroll_ && hscroll_->IsVisible()) avail.rwidth() += hscroll_->GetScrollRange();

  struct Wanted {
    CControlUI* control;
    QSize size;
  };
  std::vector<Wanted> wanted;
  int adjustables = 0;
  int fixed = 0;
  for (CControlUI* item : items_) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const UiRect& pad = item->GetPadding();
    QSize offer(avail.width() - fixed, avail.height() - pad.top - pad.bottom);
    QSize sz = item->EstimateSize(offer);
    if (sz.width() == 0) {
      ++adjustables;
    } else {
      sz.setWidth(Clamp(sz.width(), item->GetMinWidth(), item->GetMaxWidth()));
      fixed += sz.width();
    }
    fixed += pad.left + pad.right;
    wanted.push_back({item, sz});
  }
  if (!wanted.empty()) fixed += (static_cast<int>(wanted.size()) - 1) * childPadding_;

  const int expand = adjustables > 0 ? std::max(0, (avail.width() - fixed) / adjustables) : 0;
  int usedByAdjustables = 0;
  int adjustIndex = 0;
  int x = content.left - GetScrollPos().width();
  int needed = 0;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    CControlUI* item = wanted[i].control;
    QSize sz = wanted[i].size;
    const UiRect& pad = item->GetPadding();
    if (sz.width() == 0) {
      ++adjustIndex;
      int w = expand;
      if (adjustIndex == adjustables) w = std::max(0, avail.width() - fixed - usedByAdjustables);
      w = Clamp(w, item->GetMinWidth(), item->GetMaxWidth());
      usedByAdjustables += w;
      sz.setWidth(w);
    }
    const int room = content.Height() - pad.top - pad.bottom;
    int h = sz.height() == 0 ? room : sz.height();
    h = Clamp(h, item->GetMinHeight(), item->GetMaxHeight());
    const int y = Aligned(childVAlign_, content.top + pad.top, room, h);
    x += pad.left;
    item->SetPos({x, y, x + sz.width(), y + h}, false);
    x += sz.width() + pad.right;
    needed += pad.left + sz.width() + pad.right;
    if (i + 1 < wanted.size()) {
      x += childPadding_;
      needed += childPadding_;
    }
  }
  PlaceFloatingChildren();
  ProcessScrollBar(content, needed, 0);
}

// ---- TileLayout ----

QString CTileLayoutUI::GetClass() const { return QStringLiteral("TileLayoutUI"); }

void* CTileLayoutUI::GetInterface(const QString& name) {
  if (name.compare(u"TileLayout", Qt::CaseInsensitive) == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetColumns(int columns) {
  columns_ = std::max(0, columns);
  NeedUpdate();
}

void CTileLayoutUI::SetItemSize(QSize size) {
  itemSize_ = size;
  NeedUpdate();
}

void CTileLayoutUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"columns") SetColumns(ParseInt(value));
  else if (name == u"itemsize") SetItemSize(ParseSize(value));
  else if (name == u"childvpadding") {
    childVPadding_ = ParseInt(value);
    NeedUpdate();
  } else if (name == u"childalign") {
    childAlign_ = ParseAlign(value);
    NeedUpdate();
  } else if (name == u"childvalign") {
    childVAlign_ = ParseAlign(value);
    NeedUpdate();
  } else {
    CContainerUI::SetAttribute(rawName, value);
  }
}

void CTileLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  const UiRect content = ContentRect();
  std::vector<CControlUI*> tiles;
  for (CControlUI* item : items_) {
    if (item->IsVisible() && !item->IsFloat()) tiles.push_back(item);
  }
  const int scrollY = GetScrollPos().height();
  int needed = 0;
  if (itemSize_.width() > 0 && itemSize_.height() > 0) {
    // Fixed cells; the column gap is childpadding, or the spare width spread evenly.
    const int cw = itemSize_.width();
    const int ch = itemSize_.height();
    const int columns = columns_ > 0 ? columns_ : std::max(1, (content.Width() + std::max(0, childPadding_)) /
                                                                   (cw + std::max(0, childPadding_)));
    int gap = childPadding_;
    int left = content.left;
    if (gap <= 0) {
      gap = std::max(0, (content.Width() - columns * cw) / (columns + 1));
      left += gap;
    }
    const int rows = (static_cast<int>(tiles.size()) + columns - 1) / columns;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
      CControlUI* item = tiles[i];
      const int row = static_cast<int>(i) / columns;
      const int col = static_cast<int>(i) % columns;
      const UiRect cell{left + col * (cw + gap), content.top + row * (ch + childVPadding_) - scrollY, 0, 0};
      const UiRect& pad = item->GetPadding();
      const QSize sz = item->EstimateSize({cw - pad.left - pad.right, ch - pad.top - pad.bottom});
      const int w = Clamp(sz.width() > 0 ? sz.width() : cw - pad.left - pad.right, item->GetMinWidth(), item->GetMaxWidth());
      const int h = Clamp(sz.height() > 0 ? sz.height() : ch - pad.top - pad.bottom, item->GetMinHeight(), item->GetMaxHeight());
      const int x = Aligned(childAlign_, cell.left + pad.left, cw - pad.left - pad.right, w);
      const int y = Aligned(childVAlign_, cell.top + pad.top, ch - pad.top - pad.bottom, h);
      item->SetPos({x, y, x + w, y + h}, false);
    }
    needed = rows > 0 ? rows * ch + (rows - 1) * childVPadding_ : 0;
  } else {
    // Classic tiles: equal columns, rows as tall as their tallest child, children centred.
    const int columns = columns_ > 0 ? columns_ : 1;
    const int cw = content.Width() / columns;
    int y = content.top - scrollY;
    for (std::size_t rowStart = 0; rowStart < tiles.size(); rowStart += static_cast<std::size_t>(columns)) {
      const std::size_t rowEnd = std::min(tiles.size(), rowStart + static_cast<std::size_t>(columns));
      int rowHeight = 0;
      std::vector<QSize> sizes;
      for (std::size_t i = rowStart; i < rowEnd; ++i) {
        const UiRect& pad = tiles[i]->GetPadding();
        QSize sz = tiles[i]->EstimateSize({cw - pad.left - pad.right, content.Height()});
        if (sz.height() > 0) sz.setHeight(Clamp(sz.height(), tiles[i]->GetMinHeight(), tiles[i]->GetMaxHeight()));
        sizes.push_back(sz);
        rowHeight = std::max(rowHeight, sz.height() + pad.top + pad.bottom);
      }
      if (rowHeight == 0) rowHeight = cw;
      for (std::size_t i = rowStart; i < rowEnd; ++i) {
        CControlUI* item = tiles[i];
        const UiRect& pad = item->GetPadding();
        const int col = static_cast<int>(i - rowStart);
        const QSize sz = sizes[i - rowStart];
        const int roomW = cw - pad.left - pad.right;
        const int roomH = rowHeight - pad.top - pad.bottom;
        const int w = Clamp(sz.width() > 0 ? std::min(sz.width(), roomW) : roomW, item->GetMinWidth(), item->GetMaxWidth());
        const int h = Clamp(sz.height() > 0 ? sz.height() : roomH, item->GetMinHeight(), item->GetMaxHeight());
        const int x = content.left + col * cw + pad.left + (roomW - w) / 2;
        const int top = y + pad.top + (roomH - h) / 2;
        item->SetPos({x, top, x + w, top + h}, false);
      }
      y += rowHeight;
      needed += rowHeight;
      if (rowEnd < tiles.size()) {
        y += childPadding_;
        needed += childPadding_;
      }
    }
  }
  PlaceFloatingChildren();
  ProcessScrollBar(content, 0, needed);
}

// ---- TabLayout ----

QString CTabLayoutUI::GetClass() const { return QStringLiteral("TabLayoutUI"); }

void* CTabLayoutUI::GetInterface(const QString& name) {
  if (name.compare(u"TabLayout", Qt::CaseInsensitive) == 0) return this;
  return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (curSel_ < 0 && control->IsVisible()) {
    curSel_ = index;
  } else {
    if (index <= curSel_) ++curSel_;
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::RemoveAt(int index, bool doNotDestroy) {
  if (!CContainerUI::RemoveAt(index, doNotDestroy)) return false;
  if (index == curSel_) {
    curSel_ = -1;
    if (GetCount() > 0) SelectItem(std::min(index, GetCount() - 1));
  } else if (index < curSel_) {
    --curSel_;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  curSel_ = -1;
  CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == curSel_) return true;
  const int old = curSel_;
  curSel_ = index;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
  NeedUpdate();
  if (manager_) {
    // The new page takes the focus unless the focus is already on it.
    CControlUI* focus = manager_->GetFocus();
    bool inside = false;
    for (CControlUI* c = focus; c; c = c->GetParent()) inside = inside || c == GetItemAt(index);
    if (!inside) manager_->SetFocus(nullptr);
    SendNotify(kNotifyTabSelect, static_cast<WPARAM>(curSel_), static_cast<LPARAM>(old));
  }
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* page) { return SelectItem(GetItemIndex(page)); }

UiRect CTabLayoutUI::PageRect(CControlUI* page) const {
  const UiRect content = ContentRect();
  UiRect rc = content.Deflated(page->GetPadding());
  const QSize sz = page->EstimateSize({rc.Width(), rc.Height()});
  if (sz.width() > 0) rc.right = rc.left + Clamp(sz.width(), page->GetMinWidth(), page->GetMaxWidth());
  if (sz.height() > 0) rc.bottom = rc.top + Clamp(sz.height(), page->GetMinHeight(), page->GetMaxHeight());
  return rc;
}

void CTabLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  if (CControlUI* page = GetItemAt(curSel_); page && !page->IsFloat()) page->SetPos(PageRect(page), false);
  PlaceFloatingChildren();
  ProcessScrollBar(ContentRect(), 0, 0);
}

void CTabLayoutUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(u"selectedid", Qt::CaseInsensitive) == 0) SelectItem(ParseInt(value));
  else CContainerUI::SetAttribute(name, value);
}

// ---- AnimationTabLayout ----

QString CAnimationTabLayoutUI::GetClass() const { return QStringLiteral("AnimationTabLayoutUI"); }

void* CAnimationTabLayoutUI::GetInterface(const QString& name) {
  if (name.compare(u"AnimationTabLayout", Qt::CaseInsensitive) == 0) return this;
  return CTabLayoutUI::GetInterface(name);
}

bool CAnimationTabLayoutUI::SelectItem(int index) {
  const int old = curSel_;
  if (!CTabLayoutUI::SelectItem(index)) return false;
  if (old >= 0 && old != index && manager_ && manager_->GetPaintWindow()) {
    direction_ = index > old ? 1 : -1;
    step_ = 0;
    manager_->SetTimer(this, kTimerId, 15);
  }
  return true;
}

void CAnimationTabLayoutUI::SetPos(UiRect rc, bool needInvalidate) {
  CTabLayoutUI::SetPos(rc, needInvalidate);
  CControlUI* page = GetItemAt(curSel_);
  if (!page || step_ >= kSteps || page->IsFloat()) return;
  // Ease out: the page starts one page away and slows down as it arrives.
  const double t = static_cast<double>(step_) / kSteps;
  const double remaining = (1.0 - t) * (1.0 - t);
  const UiRect target = PageRect(page);
  const int distance = vertical_ ? target.Height() : target.Width();
  const int offset = static_cast<int>(remaining * distance) * direction_;
  page->SetPos(vertical_ ? target.Offset(0, offset) : target.Offset(offset, 0), false);
}

void CAnimationTabLayoutUI::DoEvent(TEventUI& event) {
  if (event.type == UiEvent::Timer && event.wParam == static_cast<WPARAM>(kTimerId)) {
    ++step_;
    if (step_ >= kSteps && manager_) manager_->KillTimer(this, kTimerId);
    NeedUpdate();
    Invalidate();
    return;
  }
  CTabLayoutUI::DoEvent(event);
}

void CAnimationTabLayoutUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(u"animation_direction", Qt::CaseInsensitive) == 0) vertical_ = value.compare(u"vertical", Qt::CaseInsensitive) == 0;
  else CTabLayoutUI::SetAttribute(name, value);
}

}  // namespace kv::ui
