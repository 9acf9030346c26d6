#include "uilib/button.h"

#include <QPainter>
#include <QPainterPath>

#include "uilib/attribute_values.h"
#include "uilib/paint_manager.h"
#include "uilib/ui_cast.h"

namespace kv::ui {

// ---- Button ----

CButtonUI::CButtonUI() { align_ = Qt::AlignHCenter | Qt::AlignVCenter; }

QString CButtonUI::GetClass() const { return QStringLiteral("ButtonUI"); }

void* CButtonUI::GetInterface(const QString& name) {
  if (name.compare(u"Button", Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const { return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0); }

Qt::CursorShape CButtonUI::GetCursor() const { return Qt::PointingHandCursor; }

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  SendNotify(kNotifyClick);
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) hot_ = pushed_ = captured_ = false;
}

void CButtonUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEvent::ButtonDown:
    case UiEvent::DblClick:
      if (IsEnabled() && rcItem_.Contains(event.ptMouse)) {
        pushed_ = captured_ = true;
        Invalidate();
      }
      return;
    case UiEvent::MouseMove:
      if (captured_) {
        const bool inside = rcItem_.Contains(event.ptMouse);
        if (inside != pushed_) {
          pushed_ = inside;
          Invalidate();
        }
      }
      return;
    case UiEvent::ButtonUp: {
      if (!captured_) return;
      const bool activate = pushed_ && rcItem_.Contains(event.ptMouse);
      captured_ = pushed_ = false;
      Invalidate();
      if (activate) Activate();
      return;
    }
    case UiEvent::MouseEnter:
      if (IsEnabled()) {
        hot_ = true;
        Invalidate();
      }
      return;
    case UiEvent::MouseLeave:
      if (hot_) {
        hot_ = false;
        Invalidate();
      }
      return;
    case UiEvent::KeyDown:
      if (IsKeyboardEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
        Activate();
        return;
      }
      break;
    case UiEvent::ContextMenu:
      // Buttons never hand a right click to their parents.
      if (menuUsed_) SendNotify(kNotifyMenu, 0, reinterpret_cast<LPARAM>(event.pSender));
      return;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(const QString& image) { normalImage_ = image; Invalidate(); }
void CButtonUI::SetHotImage(const QString& image) { hotImage_ = image; Invalidate(); }
void CButtonUI::SetPushedImage(const QString& image) { pushedImage_ = image; Invalidate(); }
void CButtonUI::SetFocusedImage(const QString& image) { focusedImage_ = image; Invalidate(); }
void CButtonUI::SetDisabledImage(const QString& image) { disabledImage_ = image; Invalidate(); }
void CButtonUI::SetForeImage(const QString& image) { foreImage_ = image; Invalidate(); }

void CButtonUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"normalimage") SetNormalImage(value);
  else if (name == u"hotimage") SetHotImage(value);
  else if (name == u"pushedimage") SetPushedImage(value);
  else if (name == u"focusedimage") SetFocusedImage(value);
  else if (name == u"disabledimage") SetDisabledImage(value);
  else if (name == u"foreimage") SetForeImage(value);
  else if (name == u"hotforeimage") {
    hotForeImage_ = value;
    Invalidate();
  } else if (name == u"hottextcolor") hotTextColor_ = ParseColor(value);
  else if (name == u"pushedtextcolor") pushedTextColor_ = ParseColor(value);
  else if (name == u"focusedtextcolor") focusedTextColor_ = ParseColor(value);
  else if (name == u"hotbkcolor") hotBkColor_ = ParseColor(value);
  else CLabelUI::SetAttribute(rawName, value);
}

void CButtonUI::PaintStatusImage(QPainter& painter) {
  if (hot_ && IsEnabled() && (hotBkColor_ >> 24) != 0) painter.fillRect(rcItem_.ToQRect(), ToQColor(hotBkColor_));
  bool drawn = false;
  if (!IsEnabled()) drawn = DrawImage(painter, disabledImage_);
  else if (pushed_) drawn = DrawImage(painter, pushedImage_);
  else if (hot_) drawn = DrawImage(painter, hotImage_);
  else if (IsFocused()) drawn = DrawImage(painter, focusedImage_);
  if (!drawn) DrawImage(painter, normalImage_);
  if (hot_ && IsEnabled() && DrawImage(painter, hotForeImage_)) return;
  DrawImage(painter, foreImage_);
}

ARGB CButtonUI::StateTextColor() const {
  if (IsEnabled()) {
    if (pushed_ && pushedTextColor_ != 0) return pushedTextColor_;
    if (hot_ && hotTextColor_ != 0) return hotTextColor_;
    if (IsFocused() && focusedTextColor_ != 0) return focusedTextColor_;
  }
  return EffectiveTextColor();
}

void CButtonUI::PaintText(QPainter& painter) {
  DrawLabelText(painter, DisplayText(), rcItem_.Deflated(textPadding_), StateTextColor());
}

// ---- Option ----

COptionUI::~COptionUI() {
  if (manager_ && !group_.isEmpty()) manager_->RemoveOptionGroup(group_, this);
}

QString COptionUI::GetClass() const { return QStringLiteral("OptionUI"); }

void* COptionUI::GetInterface(const QString& name) {
  if (name.compare(u"Option", Qt::CaseInsensitive) == 0) return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  if (manager_ && manager_ != manager && !group_.isEmpty()) manager_->RemoveOptionGroup(group_, this);
  CButtonUI::SetManager(manager, parent, init);
  if (manager_ && !group_.isEmpty()) {
    manager_->AddOptionGroup(group_, this);
    // Joining a window where another member is already selected keeps the group exclusive.
    if (selected_) {
      selected_ = false;
      Selected(true, false);
    }
  }
}

void COptionUI::SetGroup(const QString& group) {
  if (group == group_) return;
  if (manager_ && !group_.isEmpty()) manager_->RemoveOptionGroup(group_, this);
  group_ = group;
  if (manager_ && !group_.isEmpty()) {
    manager_->AddOptionGroup(group_, this);
    if (selected_) {
      selected_ = false;
      Selected(true, false);
    }
  }
}

void COptionUI::Selected(bool selected, bool triggerEvent) {
  if (selected_ == selected) return;
  selected_ = selected;
  Invalidate();
  if (!manager_) return;
  if (!group_.isEmpty()) {
    if (!selected_) return;
    if (const auto* members = manager_->GetOptionGroup(group_)) {
      const std::vector<CControlUI*> copy = *members;
      for (CControlUI* member : copy) {
        auto* option = ui_cast<COptionUI>(member);
        if (option && option != this) option->Selected(false, false);
      }
    }
    if (triggerEvent) SendNotify(kNotifySelectChanged, 1);
  } else if (triggerEvent) {
    SendNotify(kNotifySelectChanged, selected_ ? 1 : 0);
  }
}

bool COptionUI::Activate() {
  if (!CControlUI::Activate()) return false;
  SendNotify(kNotifyClick);
  if (!group_.isEmpty()) Selected(true);
  else Selected(!selected_);
  return true;
}

void COptionUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"group") SetGroup(value);
  else if (name == u"selected") Selected(ParseBool(value));
  else if (name == u"selectedimage") {
    selectedImage_ = value;
    Invalidate();
  } else if (name == u"selectedhotimage") {
    selectedHotImage_ = value;
    Invalidate();
  } else if (name == u"selectedforeimage") {
    selectedForeImage_ = value;
    Invalidate();
  } else if (name == u"selectedtextcolor") selectedTextColor_ = ParseColor(value);
  else if (name == u"selectedbkcolor") selectedBkColor_ = ParseColor(value);
  else CButtonUI::SetAttribute(rawName, value);
}

void COptionUI::PaintStatusImage(QPainter& painter) {
  if (selected_) {
    if ((selectedBkColor_ >> 24) != 0) painter.fillRect(rcItem_.ToQRect(), ToQColor(selectedBkColor_));
    bool drawn = false;
    if (hot_ && IsEnabled()) drawn = DrawImage(painter, selectedHotImage_);
    if (!drawn) drawn = DrawImage(painter, selectedImage_);
    if (drawn) {
      if (!DrawImage(painter, selectedForeImage_)) DrawImage(painter, foreImage_);
      return;
    }
  }
  CButtonUI::PaintStatusImage(painter);
}

void COptionUI::PaintText(QPainter& painter) {
  const ARGB color = selected_ && IsEnabled() && selectedTextColor_ != 0 ? selectedTextColor_ : StateTextColor();
  DrawLabelText(painter, DisplayText(), rcItem_.Deflated(textPadding_), color);
}

// ---- CheckBox ----

QString CCheckBoxUI::GetClass() const { return QStringLiteral("CheckBoxUI"); }

void* CCheckBoxUI::GetInterface(const QString& name) {
  if (name.compare(u"CheckBox", Qt::CaseInsensitive) == 0) return this;
  return COptionUI::GetInterface(name);
}

bool CCheckBoxUI::DrawsOwnBox() const { return normalImage_.isEmpty() && selectedImage_.isEmpty(); }

void CCheckBoxUI::PaintStatusImage(QPainter& painter) {
  if (!DrawsOwnBox()) {
    COptionUI::PaintStatusImage(painter);
    return;
  }
  const int side = 14;
  const int y = rcItem_.top + (rcItem_.Height() - side) / 2;
  const QRectF box(rcItem_.left + 1.5, y + 0.5, side - 1, side - 1);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QColor frame = !IsEnabled() ? QColor(0xC0, 0xC0, 0xC0) : (hot_ ? QColor(0x4A, 0x90, 0xD9) : QColor(0x8A, 0x8A, 0x8A));
  painter.setPen(QPen(frame, 1));
  painter.setBrush(selected_ && IsEnabled() ? QColor(0x4A, 0x90, 0xD9) : QColor(Qt::white));
  painter.drawRoundedRect(box, 2, 2);
  if (selected_) {
    QPainterPath tick;
    tick.moveTo(box.left() + 3, box.center().y());
    tick.lineTo(box.left() + 5.5, box.bottom() - 3.5);
    tick.lineTo(box.right() - 3, box.top() + 3.5);
    painter.setPen(QPen(IsEnabled() ? QColor(Qt::white) : QColor(0xA0, 0xA0, 0xA0), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
  }
  painter.restore();
}

void CCheckBoxUI::PaintText(QPainter& painter) {
  if (!DrawsOwnBox()) {
    COptionUI::PaintText(painter);
    return;
  }
  UiRect rc = rcItem_.Deflated(textPadding_);
  rc.left = std::max(rc.left, rcItem_.left + 20);
  const ARGB color = selected_ && IsEnabled() && selectedTextColor_ != 0 ? selectedTextColor_ : StateTextColor();
  DrawLabelText(painter, DisplayText(), rc, color);
}

}  // namespace kv::ui
