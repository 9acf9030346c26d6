#include "uilib/label.h"

#include <QFontMetrics>
#include <QPainter>

#include "uilib/attribute_values.h"
#include "uilib/paint_manager.h"
#include "uilib/text_wrap.h"

namespace kv::ui {

CLabelUI::CLabelUI() = default;
CLabelUI::~CLabelUI() = default;

QString CLabelUI::GetClass() const { return QStringLiteral("LabelUI"); }

void* CLabelUI::GetInterface(const QString& name) {
  if (name.compare(u"Label", Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetTextColor(ARGB color) {
  textColor_ = color;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(ARGB color) {
  disabledTextColor_ = color;
  Invalidate();
}

void CLabelUI::SetFont(int id) {
  font_ = id;
  NeedParentUpdate();
}

void CLabelUI::SetTextPadding(const UiRect& padding) {
  textPadding_ = padding;
  NeedParentUpdate();
}

void CLabelUI::SetShowHtml(bool show) {
  showHtml_ = show;
  Invalidate();
}

void CLabelUI::SetMultiLine(bool multiLine) {
  multiLine_ = multiLine;
  Invalidate();
}

QSize CLabelUI::EstimateSize(QSize available) {
  QSize size = cxyFixed_;
  if (autoCalcWidth_ && size.width() == 0) {
    const QString plain = UsesMarkup() ? MarkupToPlainText(text_) : text_;
    size.setWidth(QFontMetrics(FontFor(font_)).horizontalAdvance(plain) + textPadding_.left + textPadding_.right);
    if (available.width() > 0) size.setWidth(std::min(size.width(), available.width()));
  }
  if (size.height() == 0) {
    size.setHeight(QFontMetrics(FontFor(font_)).height() + 8 + textPadding_.top + textPadding_.bottom);
  }
  return size;
}

void CLabelUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"align") {
    const QString v = value.toLower();
    Qt::Alignment vertical = align_ & Qt::AlignVertical_Mask;
    Qt::Alignment horizontal = align_ & Qt::AlignHorizontal_Mask;
    if (v.contains(u"left")) horizontal = Qt::AlignLeft;
    if (v.contains(u"center")) horizontal = Qt::AlignHCenter;
    if (v.contains(u"right")) horizontal = Qt::AlignRight;
    // The early form also puts the vertical placement here.
    if (v.contains(u"top")) vertical = Qt::AlignTop;
    if (v.contains(u"bottom")) vertical = Qt::AlignBottom;
    if (v.contains(u"vcenter")) vertical = Qt::AlignVCenter;
    align_ = horizontal | vertical;
    Invalidate();
  } else if (name == u"valign") {
    const QString v = value.toLower();
    const Qt::Alignment horizontal = align_ & Qt::AlignHorizontal_Mask;
    if (v.contains(u"top")) align_ = horizontal | Qt::AlignTop;
    else if (v.contains(u"bottom")) align_ = horizontal | Qt::AlignBottom;
    else align_ = horizontal | Qt::AlignVCenter;
    Invalidate();
  } else if (name == u"endellipsis") {
    endEllipsis_ = ParseBool(value);
    Invalidate();
  } else if (name == u"multiline" || name == u"wordbreak") {
    SetMultiLine(ParseBool(value));
  } else if (name == u"singleline") {
    SetMultiLine(!ParseBool(value));
  } else if (name == u"textpadding") {
    SetTextPadding(ParseRect(value));
  } else if (name == u"font") {
    SetFont(ParseInt(value, -1));
  } else if (name == u"textcolor") {
    SetTextColor(ParseColor(value));
  } else if (name == u"disabledtextcolor") {
    SetDisabledTextColor(ParseColor(value));
  } else if (name == u"showhtml") {
    SetShowHtml(ParseBool(value));
  } else if (name == u"autocalcwidth") {
    autoCalcWidth_ = ParseBool(value);
    NeedParentUpdate();
  } else {
    CControlUI::SetAttribute(rawName, value);
  }
}

ARGB CLabelUI::EffectiveTextColor() const {
  if (!IsEnabled()) {
    if (disabledTextColor_ != 0) return disabledTextColor_;
    return manager_ ? manager_->GetDefaultDisabledColor() : 0xFFA7A6AA;
  }
  if (textColor_ != 0) return textColor_;
  return manager_ ? manager_->GetDefaultFontColor() : 0xFF000000;
}

QString CLabelUI::DisplayText() const { return GetText(); }

void CLabelUI::DrawLabelText(QPainter& painter, const QString& text, const UiRect& rect, ARGB color, int hoverLink) {
  if (text.isEmpty() || rect.IsEmpty()) return;
  const QFont font = FontFor(font_);
  // Text ignores alpha: any set colour is drawn opaque.
  const QColor qc = ToQColor(color | 0xFF000000u);
  if (UsesMarkup()) {
    if (!markup_) markup_ = std::make_unique<MarkupBlock>();
    MarkupStyle style;
    style.font = font;
    style.textColor = color;
    if (manager_) {
      style.linkColor = manager_->GetDefaultLinkFontColor();
      style.linkHoverColor = manager_->GetDefaultLinkHoverFontColor();
    }
    style.hoverLink = hoverLink;
    style.wrap = multiLine_;
    style.align = align_;
    markup_->Layout(text, manager_, style, rect);
    painter.setPen(qc);
    markup_->Paint(painter);
    return;
  }
  painter.save();
  painter.setFont(font);
  painter.setPen(qc);
  const QRect r = rect.ToQRect();
  if (multiLine_) {
    QString lines = text;
    lines.replace(u'\n', QChar::LineSeparator);
    painter.drawText(QRectF(r), lines, WrappingOption(align_));
  } else {
    QString line = text;
    line.replace(u'\n', u' ');
    if (endEllipsis_) line = QFontMetrics(font).elidedText(line, Qt::ElideRight, r.width());
    painter.drawText(r, static_cast<int>(align_) | Qt::TextSingleLine, line);
  }
  painter.restore();
}

void CLabelUI::PaintText(QPainter& painter) {
  DrawLabelText(painter, DisplayText(), rcItem_.Deflated(textPadding_), EffectiveTextColor());
}

// ---- Text ----

CTextUI::CTextUI() {
  multiLine_ = true;
  align_ = Qt::AlignLeft | Qt::AlignTop;
  textPadding_ = {2, 0, 2, 0};
}

QString CTextUI::GetClass() const { return QStringLiteral("TextUI"); }

void* CTextUI::GetInterface(const QString& name) {
  if (name.compare(u"Text", Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const { return IsEnabled() && GetLinkCount() > 0 ? UIFLAG_SETCURSOR : 0; }

Qt::CursorShape CTextUI::GetCursor() const { return hoverLink_ >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor; }

bool CTextUI::UsesMarkup() const {
  return showHtml_ || text_.contains(QStringLiteral("{a}")) || text_.contains(QStringLiteral("{a "));
}

int CTextUI::GetLinkCount() const { return markup_ ? static_cast<int>(markup_->Links().size()) : 0; }

QString CTextUI::GetLinkContent(int index) const {
  if (!markup_ || index < 0 || index >= markup_->Links().size()) return {};
  return markup_->Links()[index];
}

void CTextUI::DoEvent(TEventUI& event) {
  const auto linkAt = [&](QPoint pt) { return UsesMarkup() && markup_ ? markup_->LinkAt(pt) : -1; };
  switch (event.type) {
    case UiEvent::ButtonDown:
    case UiEvent::DblClick:
      pressedLink_ = IsEnabled() ? linkAt(event.ptMouse) : -1;
      return;
    case UiEvent::ButtonUp: {
      const int link = linkAt(event.ptMouse);
      const int pressed = pressedLink_;
      pressedLink_ = -1;
      if (IsEnabled() && link >= 0 && link == pressed) SendNotify(kNotifyLink, static_cast<WPARAM>(link));
      return;
    }
    case UiEvent::MouseMove:
    case UiEvent::MouseEnter: {
      const int link = linkAt(event.ptMouse);
      if (link != hoverLink_) {
        hoverLink_ = link;
        Invalidate();
      }
      return;
    }
    case UiEvent::MouseLeave:
      if (hoverLink_ >= 0) {
        hoverLink_ = -1;
        Invalidate();
      }
      return;
    case UiEvent::ContextMenu:
      // Text keeps its right clicks to itself.
      if (menuUsed_) CLabelUI::DoEvent(event);
      return;
    default:
      CLabelUI::DoEvent(event);
  }
}

void CTextUI::PaintText(QPainter& painter) {
  DrawLabelText(painter, DisplayText(), rcItem_.Deflated(textPadding_), EffectiveTextColor(), hoverLink_);
}

}  // namespace kv::ui
