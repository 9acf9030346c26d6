#include "uilib/list.h"

#include <QFontMetrics>
#include <QPainter>

#include "uilib/attribute_values.h"
#include "uilib/image_string.h"
#include "uilib/paint_manager.h"
#include "uilib/scroll_bar.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

IListItemUI* AsListItem(CControlUI* control) {
  return ui_cast<IListItemUI>(control);
}

Qt::Alignment HorizontalAlign(const QString& value) {
  const QString v = value.toLower();
  if (v.contains(u"center")) return Qt::AlignHCenter;
  if (v.contains(u"right")) return Qt::AlignRight;
  return Qt::AlignLeft;
}

Qt::Alignment VerticalAlign(const QString& value) {
  const QString v = value.toLower();
  if (v.contains(u"top")) return Qt::AlignTop;
  if (v.contains(u"bottom")) return Qt::AlignBottom;
  return Qt::AlignVCenter;
}

// Draws one piece of row text with the list's style.
void DrawRowText(QPainter& painter, CPaintManagerUI* manager, const TListInfoUI& info, const QString& text,
                 const UiRect& rect, ARGB color, MarkupBlock* block, int hoverLink) {
  if (text.isEmpty() || rect.IsEmpty()) return;
  const QFont font = manager ? manager->GetFont(info.font) : QFont();
  if (info.showHtml && block) {
    MarkupStyle style;
    style.font = font;
    style.textColor = color;
    if (manager) {
      style.linkColor = manager->GetDefaultLinkFontColor();
      style.linkHoverColor = manager->GetDefaultLinkHoverFontColor();
    }
    style.hoverLink = hoverLink;
    style.wrap = info.multiLine;
    style.align = info.align;
    block->Layout(text, manager, style, rect);
    painter.setPen(ToQColor(color | 0xFF000000u));
    block->Paint(painter);
    return;
  }
  painter.save();
  painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
  painter.setFont(font);
  painter.setPen(ToQColor(color | 0xFF000000u));
  QString line = info.showHtml ? MarkupToPlainText(text) : text;
  const QRect r = rect.ToQRect();
  if (info.multiLine) {
    painter.drawText(r, static_cast<int>(info.align) | Qt::TextWordWrap, line);
  } else {
    line.replace(u'\n', u' ');
    if (info.endEllipsis) line = QFontMetrics(font).elidedText(line, Qt::ElideRight, r.width());
    painter.drawText(r, static_cast<int>(info.align) | Qt::TextSingleLine, line);
  }
  painter.restore();
}

}  // namespace

// ---- list information ----

bool TListInfoUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"itemfont") font = ParseInt(value, -1);
  else if (name == u"itemalign") align = HorizontalAlign(value) | (align & Qt::AlignVertical_Mask);
  else if (name == u"itemvalign") align = (align & Qt::AlignHorizontal_Mask) | VerticalAlign(value);
  else if (name == u"itemendellipsis") endEllipsis = ParseBool(value);
  else if (name == u"itemmultiline") multiLine = ParseBool(value);
  else if (name == u"itemtextpadding") textPadding = ParseRect(value);
  else if (name == u"itemheight") itemHeight = std::max(0, ParseInt(value));
  else if (name == u"itemtextcolor") textColor = ParseColor(value);
  else if (name == u"itembkcolor") bkColor = ParseColor(value);
  else if (name == u"itembkimage") bkImage = value;
  else if (name == u"itemaltbk") alternateBk = ParseBool(value);
  else if (name == u"itemselectedtextcolor") selectedTextColor = ParseColor(value);
  else if (name == u"itemselectedbkcolor") selectedBkColor = ParseColor(value);
  else if (name == u"itemselectedimage") selectedImage = value;
  else if (name == u"itemhottextcolor") hotTextColor = ParseColor(value);
  else if (name == u"itemhotbkcolor") hotBkColor = ParseColor(value);
  else if (name == u"itemhotimage") hotImage = value;
  else if (name == u"itemdisabledtextcolor") disabledTextColor = ParseColor(value);
  else if (name == u"itemdisabledbkcolor") disabledBkColor = ParseColor(value);
  else if (name == u"itemdisabledimage") disabledImage = value;
  else if (name == u"itemhlinesize") hLineSize = std::max(0, ParseInt(value));
  else if (name == u"itemvlinesize") vLineSize = std::max(0, ParseInt(value));
  else if (name == u"itemhlinecolor" || name == u"itemlinecolor") hLineColor = ParseColor(value);
  else if (name == u"itemvlinecolor") vLineColor = ParseColor(value);
  else if (name == u"itemshowhtml") showHtml = ParseBool(value);
  else return false;
  return true;
}

// ---- row behaviour ----

bool CListRowState::HandleEvent(CControlUI& row, TEventUI& event) {
  CControlUI* ownerControl = owner ? owner->OwnerControl() : nullptr;
  CPaintManagerUI* manager = row.GetManager();
  switch (event.type) {
    case UiEvent::ButtonDown:
    case UiEvent::RButtonDown:
      if (row.IsEnabled()) {
        // Selected first, so that whoever hears `itemclick` finds the row already selected.
        if (owner) owner->SelectItem(index);
        if (manager) manager->SendNotify(&row, kNotifyItemClick);
        row.Invalidate();
      }
      return true;
    case UiEvent::DblClick:
      if (row.IsEnabled()) {
        if (owner) owner->SelectItem(index);
        if (manager) {
          manager->SendNotify(&row, kNotifyItemActivate);
          if (ownerControl) manager->SendNotify(ownerControl, kNotifyItemDbClick, static_cast<WPARAM>(index));
        }
      }
      return true;
    case UiEvent::KeyDown:
      if (event.chKey == VK_RETURN) {
        if (row.IsEnabled() && manager) manager->SendNotify(&row, kNotifyItemActivate);
        return true;
      }
      if (ownerControl) ownerControl->DoEvent(event);
      return true;
    case UiEvent::MouseEnter:
      if (row.IsEnabled()) {
        hot = true;
        row.Invalidate();
      }
      return true;
    case UiEvent::MouseLeave:
      if (hot) {
        hot = false;
        row.Invalidate();
      }
      return true;
    case UiEvent::MouseMove:
    case UiEvent::ButtonUp:
      return true;
    case UiEvent::ContextMenu:
      if (row.IsContextMenuUsed()) return false;
      if (ownerControl) ownerControl->DoEvent(event);
      return true;
    case UiEvent::ScrollWheel:
      if (ownerControl) ownerControl->DoEvent(event);
      return true;
    default:
      return false;
  }
}

void CListRowState::DrawBackground(QPainter& painter, CControlUI& row, const UiRect& rc) const {
  const TListInfoUI* info = owner ? owner->GetListInfo() : nullptr;
  if (!info) return;
  ARGB color = info->bkColor;
  const QString* image = &info->bkImage;
  if (!row.IsEnabled()) {
    color = info->disabledBkColor;
    image = &info->disabledImage;
  } else if (selected) {
    color = info->selectedBkColor;
    image = &info->selectedImage;
  } else if (hot) {
    color = info->hotBkColor;
    image = &info->hotImage;
  } else if (info->alternateBk && index % 2 != 0) {
    color = 0;
    image = nullptr;
  }
  if ((color >> 24) != 0) painter.fillRect(rc.ToQRect(), ToQColor(color));
  if (image && !image->isEmpty()) DrawImageString(painter, rc, rc, *image);
  if (info->hLineSize > 0) {
    painter.fillRect(QRect(rc.left, rc.bottom - info->hLineSize, rc.Width(), info->hLineSize), ToQColor(info->hLineColor));
  }
  if (info->vLineSize > 0) {
    for (int i = 0; i + 1 < info->columns; ++i) {
      const int x = info->columnRects[i].right - info->vLineSize;
      painter.fillRect(QRect(x, rc.top, info->vLineSize, rc.Height()), ToQColor(info->vLineColor));
    }
  }
}

ARGB CListRowState::TextColor(const CControlUI& row) const {
  const TListInfoUI* info = owner ? owner->GetListInfo() : nullptr;
  if (!info) return 0xFF000000;
  if (!row.IsEnabled()) return info->disabledTextColor;
  if (selected) return info->selectedTextColor;
  if (hot) return info->hotTextColor;
  return info->textColor;
}

QSize CListRowState::EstimateSize(CControlUI& row, QSize fixed) const {
  if (fixed.height() > 0) return fixed;
  const TListInfoUI* info = owner ? owner->GetListInfo() : nullptr;
  if (info && info->itemHeight > 0) return {fixed.width(), info->itemHeight};
  const int font = info ? info->font : -1;
  const int textHeight = row.GetManager() ? row.GetManager()->GetFontHeight(font) : 12;
  const int padding = info ? info->textPadding.top + info->textPadding.bottom : 0;
  return {fixed.width(), textHeight + 8 + padding};
}

// ---- ListElement ----

QString CListElementUI::GetClass() const { return QStringLiteral("ListElementUI"); }

void* CListElementUI::GetInterface(const QString& name) {
  if (name.compare(u"ListItem", Qt::CaseInsensitive) == 0) return static_cast<IListItemUI*>(this);
  if (name.compare(u"ListElement", Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetControlFlags() const { return 0; }

bool CListElementUI::Select(bool select) {
  if (!IsEnabled() && select) return false;
  if (row_.selected == select) return true;
  row_.selected = select;
  Invalidate();
  return true;
}

void CListElementUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  if (!IsVisible() && row_.selected && row_.owner) row_.owner->SelectItem(-1);
}

void CListElementUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) row_.hot = false;
}

QSize CListElementUI::EstimateSize(QSize) { return row_.EstimateSize(*this, cxyFixed_); }

void CListElementUI::DoEvent(TEventUI& event) {
  if (row_.HandleEvent(*this, event)) return;
  if (event.type == UiEvent::SetFocus || event.type == UiEvent::KillFocus || event.type == UiEvent::Timer ||
      event.type == UiEvent::ContextMenu || !row_.owner) {
    CControlUI::DoEvent(event);
    return;
  }
  row_.owner->OwnerControl()->DoEvent(event);
}

void CListElementUI::PaintBkColor(QPainter& painter) {
  row_.DrawBackground(painter, *this, rcItem_);
  CControlUI::PaintBkColor(painter);
}

void CListElementUI::PaintText(QPainter& painter) { DrawItemText(painter, rcItem_); }

// ---- ListLabelElement ----

QString CListLabelElementUI::GetClass() const { return QStringLiteral("ListLabelElementUI"); }

void* CListLabelElementUI::GetInterface(const QString& name) {
  if (name.compare(u"ListLabelElement", Qt::CaseInsensitive) == 0) return this;
  return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::DrawItemText(QPainter& painter, const UiRect& rc) {
  const TListInfoUI* info = row_.owner ? row_.owner->GetListInfo() : nullptr;
  if (!info) return;
  DrawRowText(painter, manager_, *info, GetText(), rc.Deflated(info->textPadding), row_.TextColor(*this), nullptr, -1);
}

// ---- ListTextElement ----

CListTextElementUI::CListTextElementUI() = default;
CListTextElementUI::~CListTextElementUI() = default;

QString CListTextElementUI::GetClass() const { return QStringLiteral("ListTextElementUI"); }

void* CListTextElementUI::GetInterface(const QString& name) {
  if (name.compare(u"ListTextElement", Qt::CaseInsensitive) == 0) return this;
  return CListLabelElementUI::GetInterface(name);
}

Qt::CursorShape CListTextElementUI::GetCursor() const { return hoverLink_ >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor; }

QString CListTextElementUI::GetText(int column) const {
  if (column < 0 || column >= static_cast<int>(texts_.size())) return column == 0 ? text_ : QString();
  return texts_[static_cast<std::size_t>(column)];
}

void CListTextElementUI::SetText(int column, const QString& text) {
  if (column < 0 || column >= kMaxListColumns) return;
  if (static_cast<int>(texts_.size()) <= column) texts_.resize(static_cast<std::size_t>(column) + 1);
  texts_[static_cast<std::size_t>(column)] = text;
  if (column == 0) text_ = text;
  Invalidate();
}

QString CListTextElementUI::ColumnText(int column) {
  if (row_.owner) {
    if (IListCallbackUI* callback = row_.owner->GetTextCallback()) return callback->GetItemText(this, row_.index, column);
  }
  return GetText(column);
}

int CListTextElementUI::GetLinkCount() const {
  int count = 0;
  for (const auto& block : blocks_) count += block ? static_cast<int>(block->Links().size()) : 0;
  return count;
}

QString CListTextElementUI::GetLinkContent(int index) const {
  for (const auto& block : blocks_) {
    if (!block) continue;
    if (index < block->Links().size()) return block->Links()[index];
    index -= static_cast<int>(block->Links().size());
  }
  return {};
}

void CListTextElementUI::DoEvent(TEventUI& event) {
  const auto linkAt = [&](QPoint pt) {
    int base = 0;
    for (const auto& block : blocks_) {
      if (!block) continue;
      const int link = block->LinkAt(pt);
      if (link >= 0) return base + link;
      base += static_cast<int>(block->Links().size());
    }
    return -1;
  };
  if (event.type == UiEvent::ButtonDown) pressedLink_ = linkAt(event.ptMouse);
  if (event.type == UiEvent::ButtonUp) {
    const int link = linkAt(event.ptMouse);
    if (link >= 0 && link == pressedLink_ && IsEnabled()) SendNotify(kNotifyLink, static_cast<WPARAM>(link));
    pressedLink_ = -1;
  }
  if (event.type == UiEvent::MouseMove || event.type == UiEvent::MouseLeave) {
    const int link = event.type == UiEvent::MouseLeave ? -1 : linkAt(event.ptMouse);
    if (link != hoverLink_) {
      hoverLink_ = link;
      Invalidate();
    }
  }
  CListLabelElementUI::DoEvent(event);
}

void CListTextElementUI::DrawItemText(QPainter& painter, const UiRect& rc) {
  const TListInfoUI* info = row_.owner ? row_.owner->GetListInfo() : nullptr;
  if (!info) return;
  const ARGB color = row_.TextColor(*this);
  const int columns = std::max(1, info->columns);
  if (static_cast<int>(blocks_.size()) < columns) blocks_.resize(static_cast<std::size_t>(columns));
  int linkBase = 0;
  for (int i = 0; i < columns; ++i) {
    UiRect cell = rc;
    if (info->columns > 0) {
      cell.left = info->columnRects[i].left;
      cell.right = info->columnRects[i].right;
    }
    auto& block = blocks_[static_cast<std::size_t>(i)];
    if (info->showHtml && !block) block = std::make_unique<MarkupBlock>();
    const int hover = hoverLink_ >= linkBase ? hoverLink_ - linkBase : -1;
    DrawRowText(painter, manager_, *info, ColumnText(i), cell.Deflated(info->textPadding).Intersected(rc), color,
                block.get(), hover);
    if (block) linkBase += static_cast<int>(block->Links().size());
  }
}

// ---- ListContainerElement ----

QString CListContainerElementUI::GetClass() const { return QStringLiteral("ListContainerElementUI"); }

void* CListContainerElementUI::GetInterface(const QString& name) {
  if (name.compare(u"ListItem", Qt::CaseInsensitive) == 0) return static_cast<IListItemUI*>(this);
  if (name.compare(u"ListContainerElement", Qt::CaseInsensitive) == 0) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

UINT CListContainerElementUI::GetControlFlags() const { return 0; }

bool CListContainerElementUI::Select(bool select) {
  if (!IsEnabled() && select) return false;
  if (row_.selected == select) return true;
  row_.selected = select;
  Invalidate();
  return true;
}

void CListContainerElementUI::SetVisible(bool visible) {
  CHorizontalLayoutUI::SetVisible(visible);
  if (!IsVisible() && row_.selected && row_.owner) row_.owner->SelectItem(-1);
}

QSize CListContainerElementUI::EstimateSize(QSize) { return row_.EstimateSize(*this, cxyFixed_); }

void CListContainerElementUI::DoEvent(TEventUI& event) {
  if (row_.HandleEvent(*this, event)) return;
  if (event.type == UiEvent::SetFocus || event.type == UiEvent::KillFocus || event.type == UiEvent::Timer ||
      event.type == UiEvent::ContextMenu || !row_.owner) {
    CHorizontalLayoutUI::DoEvent(event);
    return;
  }
  row_.owner->OwnerControl()->DoEvent(event);
}

void CListContainerElementUI::PaintBkColor(QPainter& painter) {
  row_.DrawBackground(painter, *this, rcItem_);
  CHorizontalLayoutUI::PaintBkColor(painter);
}

void CListContainerElementUI::PaintText(QPainter& painter) { DrawItemText(painter, rcItem_); }

void CListContainerElementUI::DrawItemText(QPainter& painter, const UiRect& rc) {
  const TListInfoUI* info = row_.owner ? row_.owner->GetListInfo() : nullptr;
  if (!info || text_.isEmpty()) return;
  DrawRowText(painter, manager_, *info, text_, rc.Deflated(info->textPadding), row_.TextColor(*this), nullptr, -1);
}

// ---- ListHeaderItem ----

CListHeaderItemUI::CListHeaderItemUI() = default;

QString CListHeaderItemUI::GetClass() const { return QStringLiteral("ListHeaderItemUI"); }

void* CListHeaderItemUI::GetInterface(const QString& name) {
  if (name.compare(u"ListHeaderItem", Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const { return IsEnabled() && sepWidth_ != 0 ? UIFLAG_SETCURSOR : 0; }

Qt::CursorShape CListHeaderItemUI::GetCursor() const {
  return dragable_ && (dragging_ || SeparatorRect().Contains(manager_ ? manager_->GetMousePos() : QPoint(-1, -1)))
             ? Qt::SplitHCursor
             : Qt::ArrowCursor;
}

UiRect CListHeaderItemUI::SeparatorRect() const {
  if (sepWidth_ >= 0) return {rcItem_.right - sepWidth_, rcItem_.top, rcItem_.right, rcItem_.bottom};
  return {rcItem_.left, rcItem_.top, rcItem_.left - sepWidth_, rcItem_.bottom};
}

QSize CListHeaderItemUI::EstimateSize(QSize) { return cxyFixed_; }

void CListHeaderItemUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEvent::ButtonDown:
    case UiEvent::DblClick:
      if (!IsEnabled()) return;
      if (dragable_ && SeparatorRect().Contains(event.ptMouse)) {
        dragging_ = true;
        lastPoint_ = event.ptMouse;
      } else {
        pushed_ = true;
        Invalidate();
      }
      return;
    case UiEvent::ButtonUp:
      if (dragging_) {
        dragging_ = false;
        NeedParentUpdate();
      } else if (pushed_) {
        pushed_ = false;
        Invalidate();
        if (rcItem_.Contains(event.ptMouse)) SendNotify(kNotifyHeaderClick);
      }
      return;
    case UiEvent::MouseMove:
      if (dragging_) {
        const int dx = event.ptMouse.x() - lastPoint_.x();
        const int width = std::clamp(GetWidth() + (sepWidth_ >= 0 ? dx : -dx), std::max(16, GetMinWidth()), GetMaxWidth());
        if (width != GetWidth()) {
          lastPoint_ = event.ptMouse;
          SetFixedWidth(width);
        }
      }
      return;
    case UiEvent::MouseEnter:
      hot_ = IsEnabled();
      Invalidate();
      return;
    case UiEvent::MouseLeave:
      hot_ = false;
      Invalidate();
      return;
    default:
      CControlUI::DoEvent(event);
  }
}

void CListHeaderItemUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"dragable") dragable_ = ParseBool(value);
  else if (name == u"sepwidth") sepWidth_ = ParseInt(value, 4);
  else if (name == u"sepimage") sepImage_ = value;
  else if (name == u"normalimage") normalImage_ = value;
  else if (name == u"hotimage") hotImage_ = value;
  else if (name == u"pushedimage") pushedImage_ = value;
  else if (name == u"focusedimage") focusedImage_ = value;
  else if (name == u"font") font_ = ParseInt(value, -1);
  else if (name == u"textcolor") textColor_ = ParseColor(value);
  else if (name == u"textpadding") textPadding_ = ParseRect(value);
  else if (name == u"showhtml") showHtml_ = ParseBool(value);
  else if (name == u"align") align_ = HorizontalAlign(value) | Qt::AlignVCenter;
  else {
    CControlUI::SetAttribute(rawName, value);
    return;
  }
  Invalidate();
}

void CListHeaderItemUI::PaintStatusImage(QPainter& painter) {
  bool drawn = false;
  if (pushed_) drawn = DrawImage(painter, pushedImage_);
  else if (hot_) drawn = DrawImage(painter, hotImage_);
  else if (IsFocused()) drawn = DrawImage(painter, focusedImage_);
  if (!drawn) DrawImage(painter, normalImage_);
  if (!sepImage_.isEmpty()) DrawImageString(painter, SeparatorRect(), rcPaint_, sepImage_);
}

void CListHeaderItemUI::PaintText(QPainter& painter) {
  if (text_.isEmpty()) return;
  const ARGB color = textColor_ != 0 ? textColor_ : (manager_ ? manager_->GetDefaultFontColor() : 0xFF000000);
  painter.save();
  painter.setFont(FontFor(font_));
  painter.setPen(ToQColor(color | 0xFF000000u));
  const QString text = showHtml_ ? MarkupToPlainText(text_) : text_;
  painter.drawText(rcItem_.Deflated(textPadding_).ToQRect(), static_cast<int>(align_) | Qt::TextSingleLine, text);
  painter.restore();
}

// ---- ListHeader ----

QString CListHeaderUI::GetClass() const { return QStringLiteral("ListHeaderUI"); }

void* CListHeaderUI::GetInterface(const QString& name) {
  if (name.compare(u"ListHeader", Qt::CaseInsensitive) == 0) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

QSize CListHeaderUI::EstimateSize(QSize) {
  QSize size = cxyFixed_;
  if (size.height() == 0) {
    for (CControlUI* item : items_) {
      auto* headerItem = ui_cast<CListHeaderItemUI>(item);
      int h = item->GetFixedHeight();
      if (h == 0 && headerItem && manager_) h = manager_->GetFontHeight(headerItem->GetFont()) + 8;
      size.setHeight(std::max(size.height(), h));
    }
  }
  return size;
}

// ---- ListBody ----

void CListBodyUI::DoEvent(TEventUI& event) {
  if (event.type == UiEvent::KeyDown && owner_) {
    owner_->DoEvent(event);
    return;
  }
  CVerticalLayoutUI::DoEvent(event);
}

// ---- List ----

CListUI::CListUI() : header_(new CListHeaderUI()), body_(new CListBodyUI(this)) {
  CContainerUI::AddAt(header_, 0);
  CContainerUI::AddAt(body_, 1);
}

QString CListUI::GetClass() const { return QStringLiteral("ListUI"); }

void* CListUI::GetInterface(const QString& name) {
  if (name.compare(u"List", Qt::CaseInsensitive) == 0) return this;
  if (name.compare(u"IList", Qt::CaseInsensitive) == 0 || name.compare(u"ListOwner", Qt::CaseInsensitive) == 0) {
    return static_cast<IListOwnerUI*>(this);
  }
  return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const { return UIFLAG_TABSTOP; }

CControlUI* CListUI::GetItemAt(int index) const { return body_->GetItemAt(index); }
int CListUI::GetItemIndex(CControlUI* control) const { return body_->GetItemIndex(control); }
int CListUI::GetCount() const { return body_->GetCount(); }

bool CListUI::SetItemIndex(CControlUI* control, int index) {
  const int old = body_->GetItemIndex(control);
  if (!body_->SetItemIndex(control, index)) return false;
  Reindex(std::min(old, index));
  for (int i = 0; i < GetCount(); ++i) {
    if (IListItemUI* item = AsListItem(GetItemAt(i)); item && item->IsSelected()) curSel_ = i;
  }
  return true;
}

void CListUI::Reindex(int from) {
  for (int i = std::max(0, from); i < GetCount(); ++i) {
    if (IListItemUI* item = AsListItem(GetItemAt(i))) item->SetIndex(i);
  }
}

bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  if (!control) return false;
  if (control->GetInterface(QStringLiteral("ListHeader"))) {
    if (header_ != control && header_->GetCount() == 0) {
      CContainerUI::RemoveAt(CContainerUI::GetItemIndex(header_));
      header_ = static_cast<CListHeaderUI*>(control);
      return CContainerUI::AddAt(control, 0);
    }
    // A second header gives its columns to the first.
    auto* other = static_cast<CListHeaderUI*>(control);
    while (other->GetCount() > 0) {
      CControlUI* item = other->GetItemAt(0);
      other->RemoveAt(0, true);
      header_->Add(item);
    }
    delete other;
    return true;
  }
  if (control->GetInterface(QStringLiteral("ListHeaderItem"))) return header_->Add(control);
  if (!body_->AddAt(control, index)) return false;
  if (IListItemUI* item = AsListItem(control)) item->SetOwner(this);
  Reindex(index);
  if (curSel_ >= index) ++curSel_;
  return true;
}

bool CListUI::Remove(CControlUI* control, bool doNotDestroy) {
  const int index = body_->GetItemIndex(control);
  if (index < 0) {
    if (header_->GetItemIndex(control) >= 0) return header_->Remove(control, doNotDestroy);
    return false;
  }
  return RemoveAt(index, doNotDestroy);
}

bool CListUI::RemoveAt(int index, bool doNotDestroy) {
  CControlUI* control = body_->GetItemAt(index);
  if (!control) return false;
  if (IListItemUI* item = AsListItem(control)) {
    item->Select(false);
    if (doNotDestroy) item->SetOwner(nullptr);
  }
  if (!body_->RemoveAt(index, doNotDestroy)) return false;
  Reindex(index);
  if (index == curSel_) curSel_ = -1;
  else if (index < curSel_) --curSel_;
  return true;
}

void CListUI::RemoveAll() {
  curSel_ = -1;
  body_->RemoveAll();
}

void CListUI::SetTextCallback(IListCallbackUI* callback) {
  callback_ = callback;
  Invalidate();
}

bool CListUI::SelectItem(int index, bool takeFocus) {
  if (index == curSel_) return true;
  const int old = curSel_;
  CControlUI* target = nullptr;
  if (index >= 0) {
    target = GetItemAt(index);
    IListItemUI* item = AsListItem(target);
    if (!target || !item || !target->IsVisible() || !target->IsEnabled()) return false;
  }
  if (IListItemUI* previous = AsListItem(GetItemAt(old))) previous->Select(false);
  curSel_ = -1;
  if (target) {
    AsListItem(target)->Select(true);
    curSel_ = index;
    EnsureVisible(index);
    if (takeFocus) target->SetFocus();
  }
  SendNotify(kNotifyItemSelect, static_cast<WPARAM>(curSel_), static_cast<LPARAM>(old));
  return true;
}

void CListUI::EnsureVisible(int index) {
  CControlUI* item = GetItemAt(index);
  if (!item || !body_->GetVerticalScrollBar()) return;
  if (manager_) manager_->UpdateLayout();
  const UiRect view = body_->GetPos().Deflated(body_->ContentInsets());
  const UiRect& rc = item->GetPos();
  int offset = 0;
  if (rc.top < view.top) offset = rc.top - view.top;
  else if (rc.bottom > view.bottom) offset = rc.bottom - view.bottom;
  if (offset != 0) body_->SetScrollPos(body_->GetScrollPos() + QSize(0, offset));
}

void CListUI::SetPos(UiRect rc, bool needInvalidate) {
  // A header without columns takes no room.
  header_->SetInternVisible(IsVisible() && header_->GetCount() > 0);
  CVerticalLayoutUI::SetPos(rc, needInvalidate);
  info_.columns = std::min(header_->GetCount(), kMaxListColumns);
  if (!header_->IsVisible() && info_.columns > 0) {
    // Hidden headers still give the columns their widths.
    for (int i = 0; i < header_->GetCount(); ++i) header_->GetItemAt(i)->SetInternVisible(true);
    const UiRect content = rcItem_.Deflated(ContentInsets());
    header_->SetPos({content.left, content.top, content.right, content.top}, false);
  }
  for (int i = 0; i < info_.columns; ++i) info_.columnRects[i] = header_->GetItemAt(i)->GetPos();
}

void CListUI::DoEvent(TEventUI& event) {
  if (event.type == UiEvent::KeyDown) {
    const auto step = [&](int from, int direction) {
      for (int i = from; i >= 0 && i < GetCount(); i += direction) {
        CControlUI* c = GetItemAt(i);
        if (c && c->IsVisible() && c->IsEnabled() && AsListItem(c)) return SelectItem(i, true);
      }
      return false;
    };
    switch (event.chKey) {
      case VK_UP: step(curSel_ < 0 ? 0 : curSel_ - 1, -1); return;
      case VK_DOWN: step(curSel_ + 1, 1); return;
      case VK_HOME: step(0, 1); return;
      case VK_END: step(GetCount() - 1, -1); return;
      case VK_PRIOR: body_->PageUp(); return;
      case VK_NEXT: body_->PageDown(); return;
      default: break;
    }
  }
  if (event.type == UiEvent::ScrollWheel && body_->GetVerticalScrollBar() && body_->GetVerticalScrollBar()->IsVisible()) {
    body_->DoEvent(event);
    return;
  }
  CVerticalLayoutUI::DoEvent(event);
}

void CListUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (info_.SetAttribute(name, value)) {
    NeedUpdate();
    Invalidate();
  } else if (name == u"header") {
    header_->SetVisible(value.compare(u"hidden", Qt::CaseInsensitive) != 0);
  } else if (name == u"headerbkimage") {
    header_->SetBkImage(value);
  } else if (name == u"vscrollbar" || name == u"hscrollbar" || name == u"vscrollbarstyle" ||
             name == u"hscrollbarstyle" || name == u"scrollunit" || name == u"scrollstepsize") {
    body_->SetAttribute(name, value);
  } else if (name == u"scrollselect") {
    custom_.insert(name, value);
  } else {
    CVerticalLayoutUI::SetAttribute(rawName, value);
  }
}

}  // namespace kv::ui
