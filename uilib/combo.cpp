#include "uilib/combo.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QPainterPath>

#include "uilib/attribute_values.h"
#include "uilib/overlay.h"
#include "uilib/paint_manager.h"
#include "uilib/ui_cast.h"

namespace kv::ui {
namespace {

// Announces the popup before it opens.
class SkinnedComboBox : public QComboBox {
 public:
  SkinnedComboBox(QWidget* parent, std::function<void()> onPopup) : QComboBox(parent), onPopup_(std::move(onPopup)) {}
  void showPopup() override {
    onPopup_();
    QComboBox::showPopup();
  }

 private:
  std::function<void()> onPopup_;
};

// Tracks the pointer over the native box for the skin's hot image and hands Tab to the
// window's focus order.
class ComboEventFilter : public QObject {
 public:
  ComboEventFilter(QObject* parent, std::function<void(bool)> onHover, std::function<void(bool)> onTab)
      : QObject(parent), onHover_(std::move(onHover)), onTab_(std::move(onTab)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Enter) onHover_(true);
    if (event->type() == QEvent::Leave) onHover_(false);
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        onTab_(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void(bool)> onHover_;
  std::function<void(bool)> onTab_;
};

IListItemUI* AsListItem(CControlUI* control) {
  return ui_cast<IListItemUI>(control);
}

}  // namespace

CComboUI::CComboUI() {
  info_.textPadding = {6, 0, 6, 0};
  info_.selectedBkColor = 0xFFC1E3FF;
}

CComboUI::~CComboUI() {
  *alive_ = false;
  if (native_) {
    native_->disconnect();
    native_->hide();
    native_->deleteLater();
  }
}

QString CComboUI::GetClass() const { return QStringLiteral("ComboUI"); }

void* CComboUI::GetInterface(const QString& name) {
  if (name.compare(u"Combo", Qt::CaseInsensitive) == 0) return this;
  if (name.compare(u"IListOwner", Qt::CaseInsensitive) == 0 || name.compare(u"ListOwner", Qt::CaseInsensitive) == 0) {
    return static_cast<IListOwnerUI*>(this);
  }
  return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0; }

Qt::CursorShape CComboUI::GetCursor() const { return Qt::PointingHandCursor; }

QString CComboUI::GetText() const {
  CControlUI* item = GetItemAt(curSel_);
  return item ? item->GetText() : text_;
}

void CComboUI::Reindex() {
  for (int i = 0; i < GetCount(); ++i) {
    if (IListItemUI* item = AsListItem(GetItemAt(i))) {
      item->SetIndex(i);
      item->SetOwner(this);
    }
  }
}

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  Reindex();
  if (curSel_ >= index) ++curSel_;
  SyncItems();
  return true;
}

bool CComboUI::RemoveAt(int index, bool doNotDestroy) {
  if (!CContainerUI::RemoveAt(index, doNotDestroy)) return false;
  Reindex();
  if (index == curSel_) curSel_ = -1;
  else if (index < curSel_) --curSel_;
  SyncItems();
  return true;
}

void CComboUI::RemoveAll() {
  CContainerUI::RemoveAll();
  curSel_ = -1;
  SyncItems();
}

bool CComboUI::SelectItem(int index, bool takeFocus) {
  if (index == curSel_) return true;
  const int old = curSel_;
  if (index >= 0) {
    CControlUI* target = GetItemAt(index);
    if (!target || !AsListItem(target) || !target->IsEnabled()) return false;
  }
  if (IListItemUI* previous = AsListItem(GetItemAt(old))) previous->Select(false);
  curSel_ = index;
  if (IListItemUI* item = AsListItem(GetItemAt(index))) item->Select(true);
  if (native_ && native_->currentIndex() != curSel_) {
    const QSignalBlocker block(native_);
    native_->setCurrentIndex(curSel_);
  }
  if (takeFocus) SetFocus();
  Invalidate();
  SendNotify(kNotifyItemSelect, static_cast<WPARAM>(curSel_), static_cast<LPARAM>(old));
  return true;
}

void CComboUI::SyncItems() {
  if (!native_) return;
  QStringList texts;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    texts << (info_.showHtml ? MarkupToPlainText(item->GetText()) : item->GetText());
  }
  QStringList current;
  for (int i = 0; i < native_->count(); ++i) current << native_->itemText(i);
  const QSignalBlocker block(native_);
  if (current != texts) {
    native_->clear();
    native_->addItems(texts);
  }
  if (native_->currentIndex() != curSel_) native_->setCurrentIndex(curSel_);
}

QSize CComboUI::EstimateSize(QSize) {
  QSize size = cxyFixed_;
  if (size.height() == 0 && manager_) size.setHeight(manager_->GetFontHeight(font_) + 8);
  return size;
}

void CComboUI::ApplyStyle() {
  if (!native_ || !manager_) return;
  // The drop box starts white with a grey frame; the layout's dropbox list may restyle it.
  ARGB dropBackground = 0xFFFFFFFF;
  ARGB dropBorder = 0xFFC6C7D2;
  int dropBorderSize = 1;
  for (const auto& [name, value] : ParseAttributeList(dropBox_)) {
    if (name.compare(u"bkcolor", Qt::CaseInsensitive) == 0) dropBackground = ParseColor(value);
    else if (name.compare(u"bordercolor", Qt::CaseInsensitive) == 0) dropBorder = ParseColor(value);
    else if (name.compare(u"bordersize", Qt::CaseInsensitive) == 0) dropBorderSize = std::max(0, ParseInt(value, 1));
  }
  const ARGB color = textColor_ != 0 ? textColor_ : manager_->GetDefaultFontColor();
  native_->setFont(manager_->GetFont(font_));
  native_->view()->setFont(manager_->GetFont(info_.font >= 0 ? info_.font : font_));
  const int rowHeight = info_.itemHeight > 0 ? info_.itemHeight : manager_->GetFontHeight(info_.font) + 8;
  native_->setStyleSheet(
      QStringLiteral("QComboBox { background: transparent; border: none; color: %1; padding: 0 %2px 0 %3px; }"
                     "QComboBox::drop-down { border: none; width: 0; }"
                     "QComboBox::down-arrow { image: none; width: 0; height: 0; }"
                     "QComboBox QAbstractItemView { background: %10; border: %11px solid %12; outline: 0;"
                     " color: %4; selection-background-color: %5; selection-color: %6; }"
                     "QComboBox QAbstractItemView::item { min-height: %7px; padding: 0 %8px; }"
                     "QComboBox QAbstractItemView::item:hover { background: %9; }")
          .arg(showText_ ? CssRgba(color | 0xFF000000u) : QStringLiteral("transparent"))
          .arg(std::max(0, textPadding_.right))
          .arg(std::max(0, textPadding_.left))
          .arg(CssRgba(info_.textColor | 0xFF000000u))
          .arg(CssRgba(info_.selectedBkColor | 0xFF000000u))
          .arg(CssRgba(info_.selectedTextColor | 0xFF000000u))
          .arg(rowHeight)
          .arg(info_.textPadding.left)
          .arg(CssRgba(info_.hotBkColor | 0xFF000000u))
          .arg(CssRgba(dropBackground | 0xFF000000u))
          .arg(dropBorderSize)
          .arg(CssRgba(dropBorder | 0xFF000000u)) +
      SlimScrollBarStyle());
  native_->setMaxVisibleItems(std::max(1, dropBoxSize_.height() / std::max(1, rowHeight)));
}

void CComboUI::DoInit() {
  if (native_ || !manager_ || !manager_->GetPaintWindow()) return;
  const std::shared_ptr<bool> alive = alive_;
  auto* combo = new SkinnedComboBox(manager_->GetPaintWindow(), [this, alive] {
    if (*alive) NotifyDropDown();
  });
  native_ = combo;
  combo->setView(new QListView(combo));
  combo->setFocusPolicy(Qt::StrongFocus);
  combo->installEventFilter(new ComboEventFilter(
      combo,
      [this, alive](bool hot) {
        if (*alive) SetHot(hot);
      },
      [this, alive](bool forward) {
        if (*alive && manager_) manager_->SetNextTabControl(forward);
      }));
  ApplyStyle();
  SyncItems();
  QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this, alive](int index) {
    if (*alive && index != curSel_) SelectItem(index);
  });
  UpdateNative();
}

void CComboUI::UpdateNative() {
  if (!native_) return;
  PlaceOverlay(native_, *this, rcItem_);
  native_->setEnabled(IsEnabled());
  if (dropBoxSize_.width() > 0) native_->view()->setMinimumWidth(dropBoxSize_.width());
}

void CComboUI::SetHot(bool hot) {
  if (hot_ == hot) return;
  hot_ = hot && IsEnabled();
  Invalidate();
}

void CComboUI::NotifyDropDown() { SendNotify(kNotifyDropDown); }

void CComboUI::SetPos(UiRect rc, bool needInvalidate) {
  // The items live in the popup, not in the control's rectangle.
  CControlUI::SetPos(rc, needInvalidate);
  UpdateNative();
}

void CComboUI::SetVisible(bool visible) {
  CContainerUI::SetVisible(visible);
  UpdateNative();
}

void CComboUI::SetInternVisible(bool visible) {
  CContainerUI::SetInternVisible(visible);
  UpdateNative();
}

void CComboUI::SetEnabled(bool enabled) {
  CContainerUI::SetEnabled(enabled);
  if (!enabled) hot_ = false;
  UpdateNative();
}

CControlUI* CComboUI::FindControl(FindControlProc proc, void* data, UINT flags) {
  return CControlUI::FindControl(proc, data, flags);
}

void CComboUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEvent::SetFocus:
      if (native_ && !native_->hasFocus()) native_->setFocus(Qt::OtherFocusReason);
      break;
    case UiEvent::ButtonDown:
      if (IsEnabled() && native_) native_->showPopup();
      return;
    case UiEvent::ScrollWheel:
      if (IsEnabled()) SelectItem(std::clamp(curSel_ + (event.wParam == 0 ? -1 : 1), 0, GetCount() - 1));
      return;
    case UiEvent::KeyDown:
      if (event.chKey == VK_UP || event.chKey == VK_DOWN) {
        SelectItem(std::clamp(curSel_ + (event.chKey == VK_UP ? -1 : 1), 0, GetCount() - 1));
        return;
      }
      break;
    case UiEvent::MouseEnter:
      SetHot(true);
      return;
    case UiEvent::MouseLeave:
      SetHot(false);
      return;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

void CComboUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (info_.SetAttribute(name, value)) {
  } else if (name == u"textpadding") textPadding_ = ParseRect(value);
  else if (name == u"normalimage") normalImage_ = value;
  else if (name == u"hotimage") hotImage_ = value;
  else if (name == u"pushedimage") pushedImage_ = value;
  else if (name == u"focusedimage") focusedImage_ = value;
  else if (name == u"disabledimage") disabledImage_ = value;
  else if (name == u"showtext") showText_ = ParseBool(value);
  else if (name == u"dropbox") dropBox_ = value;
  else if (name == u"dropboxsize") dropBoxSize_ = ParseSize(value);
  else if (name == u"font") font_ = ParseInt(value, -1);
  else if (name == u"textcolor") textColor_ = ParseColor(value);
  else if (name == u"selectedid") {
    SelectItem(ParseInt(value, -1));
    return;
  } else {
    CContainerUI::SetAttribute(rawName, value);
    return;
  }
  ApplyStyle();
  Invalidate();
}

void CComboUI::PaintStatusImage(QPainter& painter) {
  bool drawn = false;
  const bool popup = native_ && native_->view()->isVisible();
  if (!IsEnabled()) drawn = DrawImage(painter, disabledImage_);
  else if (popup) drawn = DrawImage(painter, pushedImage_);
  else if (hot_) drawn = DrawImage(painter, hotImage_);
  else if (IsFocused()) drawn = DrawImage(painter, focusedImage_);
  if (!drawn) drawn = DrawImage(painter, normalImage_);
  if (drawn || !bkImage_.isEmpty()) return;
  // No skin: a plain box with a chevron at the right.
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QRectF box = QRectF(rcItem_.ToQRect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if ((bkColor_[0] >> 24) == 0) painter.fillRect(box, Qt::white);
  if ((borderColor_ >> 24) == 0) {
    painter.setPen(hot_ ? QColor(0x4A, 0x90, 0xD9) : QColor(0xC6, 0xC7, 0xD2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
  }
  const double cx = rcItem_.right - 12.5;
  const double cy = rcItem_.top + rcItem_.Height() / 2.0;
  QPainterPath chevron;
  chevron.moveTo(cx - 4, cy - 2);
  chevron.lineTo(cx, cy + 2);
  chevron.lineTo(cx + 4, cy - 2);
  painter.setPen(QPen(IsEnabled() ? QColor(0x60, 0x60, 0x60) : QColor(0xB0, 0xB0, 0xB0), 1.5));
  painter.drawPath(chevron);
  painter.restore();
}

void CComboUI::PaintText(QPainter&) {}

void CComboUI::PaintChildren(QPainter&, const UiRect&) {
  // The native box shows the selected text; catch up with items renamed in code.
  SyncItems();
}

}  // namespace kv::ui
