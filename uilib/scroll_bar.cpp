#include "uilib/scroll_bar.h"

#include <QPainter>

#include "uilib/attribute_values.h"
#include "uilib/image_string.h"
#include "uilib/container.h"
#include "uilib/paint_manager.h"

namespace kv::ui {

CScrollBarUI::CScrollBarUI() {
  cxyFixed_ = {kDefaultThickness, kDefaultThickness};
}

QString CScrollBarUI::GetClass() const { return QStringLiteral("ScrollBarUI"); }

void* CScrollBarUI::GetInterface(const QString& name) {
  if (name.compare(u"ScrollBar", Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
  horizontal_ = horizontal;
  NeedParentUpdate();
}

void CScrollBarUI::SetScrollRange(int range) {
  range_ = std::max(0, range);
  pos_ = std::clamp(pos_, 0, range_);
  LayoutParts();
  Invalidate();
}

void CScrollBarUI::SetScrollPos(int pos) {
  pos = std::clamp(pos, 0, range_);
  if (pos == pos_) return;
  pos_ = pos;
  LayoutParts();
  Invalidate();
}

int CScrollBarUI::Thickness() const {
  const int t = horizontal_ ? cxyFixed_.height() : cxyFixed_.width();
  return t > 0 ? t : kDefaultThickness;
}

void CScrollBarUI::SetPos(UiRect rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  LayoutParts();
}

bool CScrollBarUI::ButtonsShown(int which) const {
  // Without images an arrow button would only take room, so it is left out.
  return which == 1 ? showButton1_ && !button1Images_.normal.isEmpty()
                    : showButton2_ && !button2Images_.normal.isEmpty();
}

void CScrollBarUI::LayoutParts() {
  const UiRect& rc = rcItem_;
  const int t = Thickness();
  // However long the content, the thumb stays long enough to be seen and taken (a slim bar's
  // thickness alone makes a dot).
  const int minimumThumb = std::max(t, 24);
  if (horizontal_) {
    const int b1 = ButtonsShown(1) ? std::min(t, rc.Width() / 2) : 0;
    const int b2 = ButtonsShown(2) ? std::min(t, rc.Width() / 2) : 0;
    button1_ = {rc.left, rc.top, rc.left + b1, rc.bottom};
    button2_ = {rc.right - b2, rc.top, rc.right, rc.bottom};
    rail_ = {button1_.right, rc.top, button2_.left, rc.bottom};
    const int track = rail_.Width();
    const int visible = rc.Width();
    int thumb = range_ > 0 ? static_cast<int>(static_cast<long long>(track) * visible / (range_ + visible)) : track;
    thumb = std::clamp(thumb, std::min(minimumThumb, track), track);
    const int x = rail_.left + (range_ > 0 ? static_cast<int>(static_cast<long long>(track - thumb) * pos_ / range_) : 0);
    thumb_ = {x, rc.top, x + thumb, rc.bottom};
  } else {
    const int b1 = ButtonsShown(1) ? std::min(t, rc.Height() / 2) : 0;
    const int b2 = ButtonsShown(2) ? std::min(t, rc.Height() / 2) : 0;
    button1_ = {rc.left, rc.top, rc.right, rc.top + b1};
    button2_ = {rc.left, rc.bottom - b2, rc.right, rc.bottom};
    rail_ = {rc.left, button1_.bottom, rc.right, button2_.top};
    const int track = rail_.Height();
    const int visible = rc.Height();
    int thumb = range_ > 0 ? static_cast<int>(static_cast<long long>(track) * visible / (range_ + visible)) : track;
    thumb = std::clamp(thumb, std::min(minimumThumb, track), track);
    const int y = rail_.top + (range_ > 0 ? static_cast<int>(static_cast<long long>(track - thumb) * pos_ / range_) : 0);
    thumb_ = {rc.left, y, rc.right, y + thumb};
  }
}

CScrollBarUI::Part CScrollBarUI::PartAt(QPoint pt) const {
  if (!button1_.IsEmpty() && button1_.Contains(pt)) return kButton1;
  if (!button2_.IsEmpty() && button2_.Contains(pt)) return kButton2;
  if (thumb_.Contains(pt)) return kThumb;
  if (rail_.Contains(pt)) return kRail;
  return kNone;
}

void CScrollBarUI::Scroll(int delta) {
  const int target = pos_ + delta;
  if (owner_) {
    QSize pos = owner_->GetScrollPos();
    if (horizontal_) pos.setWidth(target);
    else pos.setHeight(target);
    owner_->SetScrollPos(pos);
  } else {
    SetScrollPos(target);
  }
  if (manager_) manager_->SendNotify(this, kNotifyScroll, static_cast<WPARAM>(pos_), 0, true);
}

void CScrollBarUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) {
    if (event.type == UiEvent::ScrollWheel && owner_) owner_->DoEvent(event);
    return;
  }
  const int page = horizontal_ ? rcItem_.Width() : rcItem_.Height();
  switch (event.type) {
    case UiEvent::ButtonDown:
    case UiEvent::DblClick: {
      pushed_ = PartAt(event.ptMouse);
      if (pushed_ == kButton1) Scroll(-lineSize_);
      else if (pushed_ == kButton2) Scroll(lineSize_);
      else if (pushed_ == kThumb) {
        dragStartPos_ = pos_;
        dragStartPoint_ = event.ptMouse;
      } else if (pushed_ == kRail) {
        const bool before = horizontal_ ? event.ptMouse.x() < thumb_.left : event.ptMouse.y() < thumb_.top;
        Scroll(before ? -page : page);
      }
      Invalidate();
      return;
    }
    case UiEvent::MouseMove: {
      if (pushed_ == kThumb) {
        const int track = horizontal_ ? rail_.Width() - thumb_.Width() : rail_.Height() - thumb_.Height();
        const int moved = horizontal_ ? event.ptMouse.x() - dragStartPoint_.x() : event.ptMouse.y() - dragStartPoint_.y();
        if (track > 0) {
          Scroll(dragStartPos_ + static_cast<int>(static_cast<long long>(moved) * range_ / track) - pos_);
        }
        return;
      }
      const Part hot = PartAt(event.ptMouse);
      if (hot != hot_) {
        hot_ = hot;
        Invalidate();
      }
      return;
    }
    case UiEvent::ButtonUp:
      pushed_ = kNone;
      Invalidate();
      return;
    case UiEvent::MouseEnter:
      hot_ = PartAt(event.ptMouse);
      Invalidate();
      return;
    case UiEvent::MouseLeave:
      hot_ = kNone;
      Invalidate();
      return;
    case UiEvent::ScrollWheel:
      if (owner_) owner_->DoEvent(event);
      else Scroll(event.wParam == 0 ? -lineSize_ : lineSize_);
      return;
    default:
      CControlUI::DoEvent(event);
  }
}

void CScrollBarUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  auto setImage = [&](const QString& prefix, PartImages& images) {
    if (!name.startsWith(prefix)) return false;
    const QString state = name.mid(prefix.size());
    if (state == u"normalimage") images.normal = value;
    else if (state == u"hotimage") images.hot = value;
    else if (state == u"pushedimage") images.pushed = value;
    else if (state == u"disabledimage") images.disabled = value;
    else return false;
    LayoutParts();
    Invalidate();
    return true;
  };
  if (setImage(QStringLiteral("button1"), button1Images_) || setImage(QStringLiteral("button2"), button2Images_) ||
      setImage(QStringLiteral("thumb"), thumbImages_) || setImage(QStringLiteral("rail"), railImages_) || setImage(QStringLiteral("bk"), bkImages_)) {
    return;
  }
  if (name == u"hor") SetHorizontal(ParseBool(value));
  else if (name == u"linesize") SetLineSize(ParseInt(value, 8));
  else if (name == u"range") SetScrollRange(ParseInt(value));
  else if (name == u"value") SetScrollPos(ParseInt(value));
  else if (name == u"showbutton1") showButton1_ = ParseBool(value);
  else if (name == u"showbutton2") showButton2_ = ParseBool(value);
  else if (name == u"thumbcolor") thumbColor_ = ParseColor(value);
  else if (name == u"thumbhotcolor") thumbHotColor_ = ParseColor(value);
  else CControlUI::SetAttribute(rawName, value);
}

void CScrollBarUI::PaintPart(QPainter& painter, const UiRect& rc, const PartImages& images, Part part) {
  if (rc.IsEmpty()) return;
  const QString* image = &images.normal;
  if (!IsEnabled() && !images.disabled.isEmpty()) image = &images.disabled;
  else if (pushed_ == part && !images.pushed.isEmpty()) image = &images.pushed;
  else if (hot_ == part && !images.hot.isEmpty()) image = &images.hot;
  if (!image->isEmpty()) DrawImageString(painter, rc, rcPaint_, *image);
}

void CScrollBarUI::DoPaint(QPainter& painter, const UiRect& paint) {
  rcPaint_ = paint.Intersected(rcItem_);
  if (rcPaint_.IsEmpty()) return;
  painter.save();
  painter.setClipRect(rcPaint_.ToQRect(), Qt::IntersectClip);
  PaintBkColor(painter);
  PaintPart(painter, rcItem_, bkImages_, kNone);
  PaintPart(painter, button1_, button1Images_, kButton1);
  PaintPart(painter, button2_, button2Images_, kButton2);
  if (!thumbImages_.normal.isEmpty()) {
    PaintPart(painter, thumb_, thumbImages_, kThumb);
    PaintPart(painter, thumb_, railImages_, kThumb);
  } else if (range_ > 0) {
    // A slim rounded thumb when the skin gives no images.
    const int inset = std::max(2, Thickness() / 4);
    QRectF r = thumb_.ToQRect();
    r = horizontal_ ? r.adjusted(1, inset, -1, -inset) : r.adjusted(inset, 1, -inset, -1);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(hot_ == kThumb || pushed_ == kThumb ? thumbHotColor_ : thumbColor_));
    const double radius = (horizontal_ ? r.height() : r.width()) / 2.0;
    painter.drawRoundedRect(r, radius, radius);
  }
  PaintBorder(painter);
  painter.restore();
}

}  // namespace kv::ui
