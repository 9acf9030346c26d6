#include "uilib/progress.h"

#include <QPainter>

#include "uilib/attribute_values.h"
#include "uilib/image_string.h"
#include "uilib/paint_manager.h"

namespace kv::ui {

CProgressUI::CProgressUI() { align_ = Qt::AlignHCenter | Qt::AlignVCenter; }

QString CProgressUI::GetClass() const { return QStringLiteral("ProgressUI"); }

void* CProgressUI::GetInterface(const QString& name) {
  if (name.compare(u"Progress", Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int min) {
  min_ = min;
  value_ = std::clamp(value_, min_, std::max(min_, max_));
  Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
  max_ = max;
  value_ = std::clamp(value_, min_, std::max(min_, max_));
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  value = std::clamp(value, min_, std::max(min_, max_));
  if (value == value_) return;
  value_ = value;
  Invalidate();
}

void CProgressUI::SetHorizontal(bool horizontal) {
  horizontal_ = horizontal;
  Invalidate();
}

void CProgressUI::SetForeImage(const QString& image) {
  foreImage_ = image;
  Invalidate();
}

QSize CProgressUI::EstimateSize(QSize) {
  QSize size = cxyFixed_;
  if (size.height() == 0) size.setHeight(12);
  return size;
}

void CProgressUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"min") SetMinValue(ParseInt(value));
  else if (name == u"max") SetMaxValue(ParseInt(value, 100));
  else if (name == u"value") SetValue(ParseInt(value));
  else if (name == u"hor") SetHorizontal(ParseBool(value));
  else if (name == u"foreimage") SetForeImage(value);
  else if (name == u"isstretchfore") stretchFore_ = ParseBool(value);
  else if (name == u"showtext") showText_ = ParseBool(value);
  else if (name == u"forecolor") foreColor_ = ParseColor(value);
  else CLabelUI::SetAttribute(rawName, value);
}

UiRect CProgressUI::FilledRect() const {
  const int range = max_ - min_;
  const double fraction = range > 0 ? static_cast<double>(value_ - min_) / range : 0.0;
  const int w = rcItem_.Width();
  const int h = rcItem_.Height();
  if (horizontal_) return {0, 0, static_cast<int>(w * fraction), h};
  const int filled = static_cast<int>(h * fraction);
  return {0, h - filled, w, h};
}

void CProgressUI::PaintStatusImage(QPainter& painter) {
  const UiRect filled = FilledRect();
  if (filled.IsEmpty()) return;
  const UiRect absolute = filled.Offset(rcItem_.left, rcItem_.top);
  if ((foreColor_ >> 24) != 0) painter.fillRect(absolute.ToQRect(), ToQColor(foreColor_));
  if (!foreImage_.isEmpty()) {
    QString modifier = QStringLiteral("dest='%1,%2,%3,%4'").arg(filled.left).arg(filled.top).arg(filled.right).arg(filled.bottom);
    if (!stretchFore_) {
      modifier += QStringLiteral(" source='%1,%2,%3,%4'").arg(filled.left).arg(filled.top).arg(filled.right).arg(filled.bottom);
    }
    if (DrawImage(painter, foreImage_, modifier)) return;
  }
  if ((foreColor_ >> 24) == 0) painter.fillRect(absolute.ToQRect(), QColor(0x4A, 0x90, 0xD9));
}

void CProgressUI::PaintText(QPainter& painter) {
  if (showText_) {
    const int range = max_ - min_;
    const int percent = range > 0 ? (value_ - min_) * 100 / range : 0;
    DrawLabelText(painter, QStringLiteral("%1%").arg(percent), rcItem_.Deflated(textPadding_), EffectiveTextColor());
    return;
  }
  CLabelUI::PaintText(painter);
}

// ---- Slider ----

CSliderUI::CSliderUI() = default;

QString CSliderUI::GetClass() const { return QStringLiteral("SliderUI"); }

void* CSliderUI::GetInterface(const QString& name) {
  if (name.compare(u"Slider", Qt::CaseInsensitive) == 0) return this;
  return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0; }

UiRect CSliderUI::ThumbRect() const {
  const UiRect filled = FilledRect();
  const int tw = thumbSize_.width();
  const int th = thumbSize_.height();
  if (horizontal_) {
    const int x = rcItem_.left + filled.right - tw / 2;
    const int y = rcItem_.top + (rcItem_.Height() - th) / 2;
    return {x, y, x + tw, y + th};
  }
  const int x = rcItem_.left + (rcItem_.Width() - tw) / 2;
  const int y = rcItem_.top + filled.top - th / 2;
  return {x, y, x + tw, y + th};
}

void CSliderUI::MoveTo(QPoint pt) {
  const int range = max_ - min_;
  double fraction = horizontal_ ? static_cast<double>(pt.x() - rcItem_.left) / std::max(1, rcItem_.Width())
                                : static_cast<double>(rcItem_.bottom - pt.y()) / std::max(1, rcItem_.Height());
  fraction = std::clamp(fraction, 0.0, 1.0);
  int value = min_ + static_cast<int>(fraction * range + 0.5);
  if (step_ > 1) value = min_ + ((value - min_) / step_) * step_;
  if (value != value_) {
    SetValue(value);
    SendNotify(kNotifyValueChanged);
  }
}

void CSliderUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEvent::ButtonDown:
    case UiEvent::DblClick:
      if (IsEnabled()) {
        pushed_ = true;
        MoveTo(event.ptMouse);
      }
      return;
    case UiEvent::MouseMove:
      if (pushed_) MoveTo(event.ptMouse);
      return;
    case UiEvent::ButtonUp:
      pushed_ = false;
      Invalidate();
      return;
    case UiEvent::MouseEnter:
      hot_ = IsEnabled();
      Invalidate();
      return;
    case UiEvent::MouseLeave:
      hot_ = false;
      Invalidate();
      return;
    case UiEvent::KeyDown:
      if (event.chKey == VK_LEFT || event.chKey == VK_DOWN || event.chKey == VK_RIGHT || event.chKey == VK_UP) {
        const int delta = (event.chKey == VK_LEFT || event.chKey == VK_DOWN) ? -step_ : step_;
        const int old = value_;
        SetValue(value_ + delta);
        if (value_ != old) SendNotify(kNotifyValueChanged);
        return;
      }
      break;
    default:
      break;
  }
  CProgressUI::DoEvent(event);
}

void CSliderUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"thumbsize") thumbSize_ = ParseSize(value);
  else if (name == u"thumbimage") thumbImage_ = value;
  else if (name == u"thumbhotimage") thumbHotImage_ = value;
  else if (name == u"thumbpushedimage") thumbPushedImage_ = value;
  else if (name == u"step") step_ = std::max(1, ParseInt(value, 1));
  else CProgressUI::SetAttribute(rawName, value);
}

void CSliderUI::PaintStatusImage(QPainter& painter) {
  CProgressUI::PaintStatusImage(painter);
  const UiRect thumb = ThumbRect();
  const QString& image = pushed_ && !thumbPushedImage_.isEmpty() ? thumbPushedImage_
                         : hot_ && !thumbHotImage_.isEmpty()     ? thumbHotImage_
                                                                 : thumbImage_;
  if (!image.isEmpty() && DrawImageString(painter, thumb, rcPaint_, image)) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(QColor(0x4A, 0x90, 0xD9), 1));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(thumb.ToQRect()).adjusted(0.5, 0.5, -0.5, -0.5));
  painter.restore();
}

}  // namespace kv::ui
