#include "uilib/control.h"

#include <QPainter>
#include <QPainterPath>

#include "uilib/attribute_values.h"
#include "uilib/image_string.h"
#include "uilib/paint_manager.h"

namespace kv::ui {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_) manager_->ReapObjects(this);
}

QString CControlUI::GetClass() const { return QStringLiteral("ControlUI"); }

void* CControlUI::GetInterface(const QString& name) {
  if (name.compare(u"Control", Qt::CaseInsensitive) == 0) return this;
  return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }

Qt::CursorShape CControlUI::GetCursor() const { return Qt::ArrowCursor; }

void CControlUI::SetName(const QString& name) { name_ = name; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  if (manager_ && manager_ != manager) manager_->ReapObjects(this);
  manager_ = manager;
  parent_ = parent;
  if (init && manager_ && !initialised_) Init();
}

void CControlUI::Init() {
  initialised_ = true;
  DoInit();
}

void CControlUI::DoInit() {}

QString CControlUI::GetText() const { return text_; }

void CControlUI::SetText(const QString& text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

QString CControlUI::GetVirtualWnd() const {
  if (!virtualWnd_.isEmpty()) return virtualWnd_;
  return parent_ ? parent_->GetVirtualWnd() : QString();
}

void CControlUI::SetPos(UiRect rc, bool needInvalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  if (needInvalidate && rc != rcItem_) Invalidate();
  rcItem_ = rc;
  if (needInvalidate) Invalidate();
}

void CControlUI::SetPadding(const UiRect& padding) {
  rcPadding_ = padding;
  NeedParentUpdate();
}

void CControlUI::SetFixedXY(QPoint xy) {
  fixedXY_ = xy;
  NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0) return;
  cxyFixed_.setWidth(cx);
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0) return;
  cxyFixed_.setHeight(cy);
  NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
  if (cx < 0) return;
  cxyMin_.setWidth(cx);
  NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
  if (cx < 0) return;
  cxyMax_.setWidth(cx);
  NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
  if (cy < 0) return;
  cxyMin_.setHeight(cy);
  NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
  if (cy < 0) return;
  cxyMax_.setHeight(cy);
  NeedParentUpdate();
}

QSize CControlUI::EstimateSize(QSize) { return cxyFixed_; }

void CControlUI::SetFloat(bool isFloat) {
  float_ = isFloat;
  NeedParentUpdate();
}

UiRect CControlUI::FloatRect(const UiRect& parent) const {
  const int w = parent.Width();
  const int h = parent.Height();
  const FloatPercent& p = floatPercent_;
  const bool anchored = p.left != 0 || p.top != 0 || p.right != 0 || p.bottom != 0;
  UiRect rc;
  if (anchored) {
    rc.left = parent.left + static_cast<int>(w * p.left) + fixedXY_.x();
    rc.top = parent.top + static_cast<int>(h * p.top) + fixedXY_.y();
    rc.right = parent.left + static_cast<int>(w * p.right) + fixedXY_.x() + cxyFixed_.width();
    rc.bottom = parent.top + static_cast<int>(h * p.bottom) + fixedXY_.y() + cxyFixed_.height();
  } else {
    // A negative offset counts from the right or bottom edge.
    rc.left = fixedXY_.x() >= 0 ? parent.left + fixedXY_.x() : parent.right + fixedXY_.x();
    rc.top = fixedXY_.y() >= 0 ? parent.top + fixedXY_.y() : parent.bottom + fixedXY_.y();
    rc.right = rc.left + cxyFixed_.width();
    rc.bottom = rc.top + cxyFixed_.height();
  }
  return rc;
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  const bool wasVisible = IsVisible();
  visible_ = visible;
  if (focused_ && !visible_ && manager_) manager_->SetFocus(nullptr);
  if (wasVisible != IsVisible()) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  internVisible_ = visible;
  if (!visible && focused_ && manager_) manager_->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_) manager_->SetFocus(this);
}

void CControlUI::SetBkColor(ARGB color) {
  bkColor_[0] = color;
  Invalidate();
}

void CControlUI::SetBkColor2(ARGB color) {
  bkColor_[1] = color;
  Invalidate();
}

void CControlUI::SetBkColor3(ARGB color) {
  bkColor_[2] = color;
  Invalidate();
}

void CControlUI::SetBkImage(const QString& image) {
  bkImage_ = image;
  Invalidate();
}

void CControlUI::SetBorderColor(ARGB color) {
  borderColor_ = color;
  Invalidate();
}

void CControlUI::SetFocusBorderColor(ARGB color) {
  focusBorderColor_ = color;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  borderSize_ = std::max(0, size);
  borderSides_ = {};
  Invalidate();
}

void CControlUI::SetBorderSize(const UiRect& sides) {
  borderSides_ = sides;
  borderSize_ = 0;
  Invalidate();
}

void CControlUI::SetBorderRound(QSize round) {
  borderRound_ = round;
  Invalidate();
}

void CControlUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"name") SetName(value);
  else if (name == u"text") SetText(value);
  else if (name == u"tooltip") SetToolTip(value);
  else if (name == u"userdata") SetUserData(value);
  else if (name == u"tag") SetTag(static_cast<std::uintptr_t>(ParseInt(value)));
  else if (name == u"pos") {
    const UiRect rc = ParseRect(value);
    fixedXY_ = {rc.left, rc.top};
    cxyFixed_ = {std::max(0, rc.Width()), std::max(0, rc.Height())};
    NeedParentUpdate();
  } else if (name == u"float") {
    if (value.contains(u',')) {
      const QStringList parts = value.split(u',');
      double v[4] = {0, 0, 0, 0};
      for (int i = 0; i < 4 && i < parts.size(); ++i) v[i] = std::clamp(parts[i].trimmed().toDouble(), 0.0, 1.0);
      floatPercent_ = {v[0], v[1], v[2], v[3]};
      SetFloat(true);
    } else {
      SetFloat(ParseBool(value));
    }
  } else if (name == u"padding") SetPadding(ParseRect(value));
  else if (name == u"bkcolor" || name == u"bkcolor1") SetBkColor(ParseColor(value));
  else if (name == u"bkcolor2") SetBkColor2(ParseColor(value));
  else if (name == u"bkcolor3") SetBkColor3(ParseColor(value));
  else if (name == u"bordercolor") SetBorderColor(ParseColor(value));
  else if (name == u"focusbordercolor") SetFocusBorderColor(ParseColor(value));
  else if (name == u"bordersize") {
    if (value.contains(u',')) SetBorderSize(ParseRect(value));
    else SetBorderSize(ParseInt(value));
  } else if (name == u"borderround") SetBorderRound(ParseSize(value));
  else if (name == u"bkimage") SetBkImage(value);
  else if (name == u"width") SetFixedWidth(ParseInt(value));
  else if (name == u"height") SetFixedHeight(ParseInt(value));
  else if (name == u"minwidth") SetMinWidth(ParseInt(value));
  else if (name == u"minheight") SetMinHeight(ParseInt(value));
  else if (name == u"maxwidth") SetMaxWidth(ParseInt(value));
  else if (name == u"maxheight") SetMaxHeight(ParseInt(value));
  else if (name == u"visible") SetVisible(ParseBool(value));
  else if (name == u"enabled") SetEnabled(ParseBool(value));
  else if (name == u"mouse") SetMouseEnabled(ParseBool(value));
  else if (name == u"keyboard") SetKeyboardEnabled(ParseBool(value));
  else if (name == u"menu") SetContextMenuUsed(ParseBool(value));
  else if (name == u"shortcut") SetShortcut(value.isEmpty() ? QChar() : value[0].toUpper());
  else if (name == u"virtualwnd") SetVirtualWnd(value);
  else custom_.insert(name, value);
}

CControlUI* CControlUI::ApplyAttributeList(const QString& list) {
  for (const auto& [name, value] : ParseAttributeList(list)) SetAttribute(name, value);
  return this;
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
  if ((flags & UIFIND_HITTEST) && (!mouseEnabled_ || !rcItem_.Contains(*static_cast<const QPoint*>(data)))) {
    return nullptr;
  }
  return proc(this, data);
}

void CControlUI::Invalidate() {
  if (manager_ && IsVisible()) manager_->Invalidate(rcItem_);
}

void CControlUI::NeedUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEvent::SetFocus:
      focused_ = true;
      Invalidate();
      return;
    case UiEvent::KillFocus:
      focused_ = false;
      Invalidate();
      return;
    case UiEvent::Timer:
      SendNotify(kNotifyTimer, event.wParam, event.lParam);
      return;
    case UiEvent::ContextMenu:
      // The nearest control that wants a menu reports it; lParam names the control clicked.
      if (menuUsed_) {
        SendNotify(kNotifyMenu, 0, reinterpret_cast<LPARAM>(event.pSender));
        return;
      }
      break;
    default:
      break;
  }
  if (parent_) parent_->DoEvent(event);
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::DoPaint(QPainter& painter, const UiRect& paint) {
  rcPaint_ = paint.Intersected(rcItem_);
  if (rcPaint_.IsEmpty()) return;
  painter.save();
  painter.setClipRect(rcPaint_.ToQRect(), Qt::IntersectClip);
  if (borderRound_.width() > 0 && borderRound_.height() > 0) {
    QPainterPath path;
    path.addRoundedRect(rcItem_.ToQRect(), borderRound_.width() / 2.0, borderRound_.height() / 2.0);
    painter.setClipPath(path, Qt::IntersectClip);
  }
  PaintBkColor(painter);
  PaintBkImage(painter);
  PaintStatusImage(painter);
  PaintText(painter);
  PaintChildren(painter, rcPaint_);
  PaintBorder(painter);
  PaintFocusMark(painter);
  painter.restore();
}

void CControlUI::PaintChildren(QPainter&, const UiRect&) {}

void CControlUI::PaintBkColor(QPainter& painter) {
  const ARGB c1 = bkColor_[0];
  const ARGB c2 = bkColor_[1];
  const ARGB c3 = bkColor_[2];
  const QRect r = rcItem_.ToQRect();
  if (c2 != 0) {
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, ToQColor(c1));
    if (c3 != 0) {
      gradient.setColorAt(0.5, ToQColor(c2));
      gradient.setColorAt(1, ToQColor(c3));
    } else {
      gradient.setColorAt(1, ToQColor(c2));
    }
    painter.fillRect(r, gradient);
  } else if ((c1 >> 24) != 0) {
    painter.fillRect(r, ToQColor(c1));
  }
}

void CControlUI::PaintBkImage(QPainter& painter) { DrawImage(painter, bkImage_); }

void CControlUI::PaintStatusImage(QPainter&) {}

void CControlUI::PaintText(QPainter&) {}

void CControlUI::PaintBorder(QPainter& painter) {
  const ARGB color = (focused_ && focusBorderColor_ != 0) ? focusBorderColor_ : borderColor_;
  if ((color >> 24) == 0) return;
  const QColor qc = ToQColor(color);
  if (borderSize_ > 0) {
    painter.save();
    const double half = borderSize_ / 2.0;
    const QRectF r = QRectF(rcItem_.ToQRect()).adjusted(half, half, -half, -half);
    painter.setPen(QPen(qc, borderSize_));
    painter.setBrush(Qt::NoBrush);
    if (borderRound_.width() > 0 && borderRound_.height() > 0) {
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.drawRoundedRect(r, borderRound_.width() / 2.0, borderRound_.height() / 2.0);
    } else {
      painter.drawRect(r);
    }
    painter.restore();
  } else if (!borderSides_.IsNull()) {
    const UiRect& s = borderSides_;
    const UiRect& r = rcItem_;
    if (s.left > 0) painter.fillRect(QRect(r.left, r.top, s.left, r.Height()), qc);
    if (s.top > 0) painter.fillRect(QRect(r.left, r.top, r.Width(), s.top), qc);
    if (s.right > 0) painter.fillRect(QRect(r.right - s.right, r.top, s.right, r.Height()), qc);
    if (s.bottom > 0) painter.fillRect(QRect(r.left, r.bottom - s.bottom, r.Width(), s.bottom), qc);
  }
}

void CControlUI::PaintFocusMark(QPainter& painter) {
  if (!manager_ || !manager_->IsFocusMarkShown() || manager_->FocusMarkHolder() != this) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(ToQColor(manager_->GetFocusMarkColor()), 2));
  painter.setBrush(Qt::NoBrush);
  // Inside the control, so that neighbours and clipping parents leave it whole.
  painter.drawRoundedRect(QRectF(rcItem_.ToQRect()).adjusted(1, 1, -1, -1), 3, 3);
  painter.restore();
}

bool CControlUI::DrawImage(QPainter& painter, const QString& image, const QString& modifier) {
  if (image.isEmpty()) return false;
  return DrawImageString(painter, rcItem_, rcPaint_.IsEmpty() ? rcItem_ : rcPaint_, image, modifier);
}

bool CControlUI::IsVisibleInTree() const {
  for (const CControlUI* c = this; c; c = c->parent_) {
    if (!c->IsVisible()) return false;
  }
  return true;
}

UiRect CControlUI::VisibleRect() const {
  UiRect rc = rcItem_;
  const CControlUI* child = this;
  for (const CControlUI* p = parent_; p; child = p, p = p->parent_) {
    rc = rc.Intersected(child->IsFloat() ? p->GetPos() : p->GetPos().Deflated(p->ContentInsets()));
  }
  return rc;
}

QFont CControlUI::FontFor(int id) const { return manager_ ? manager_->GetFont(id) : QFont(); }

void CControlUI::SendNotify(const QString& type, WPARAM wParam, LPARAM lParam) {
  if (manager_) manager_->SendNotify(this, type, wParam, lParam);
}

}  // namespace kv::ui
