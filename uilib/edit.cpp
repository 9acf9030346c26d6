#include "uilib/edit.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <functional>

#include "uilib/attribute_values.h"
#include "uilib/overlay.h"
#include "uilib/paint_manager.h"

namespace kv::ui {
namespace {

// Sends Tab to the window's focus order and closes the editor when the focus leaves it for
// something other than another application or a popup.
class NativeEditFilter : public QObject {
 public:
  NativeEditFilter(QObject* parent, CPaintManagerUI* manager, std::function<void()> onLeave)
      : QObject(parent), manager_(manager), onLeave_(std::move(onLeave)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        manager_->SetNextTabControl(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        QMetaObject::invokeMethod(this, onLeave_, Qt::QueuedConnection);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  CPaintManagerUI* manager_;
  std::function<void()> onLeave_;
};

}  // namespace

CEditUI::CEditUI() {
  textPadding_ = {4, 3, 4, 3};
  bkColor_[0] = 0xFFFFFFFF;
}

CEditUI::~CEditUI() {
  *alive_ = false;
  if (native_) {
    native_->disconnect();
    native_->hide();
    native_->deleteLater();
  }
}

QString CEditUI::GetClass() const { return QStringLiteral("EditUI"); }

void* CEditUI::GetInterface(const QString& name) {
  if (name.compare(u"Edit", Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const {
  return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0;
}

Qt::CursorShape CEditUI::GetCursor() const { return Qt::IBeamCursor; }

void CEditUI::ApplyLengthLimit() {
  if (!native_) return;
  constexpr int kNoLimit = 32767;
  const int limit = maxChar_ > 0 ? maxChar_ : kNoLimit;
  native_->setMaxLength(static_cast<int>(std::max<qsizetype>(limit, text_.size())));
}

void CEditUI::SetText(const QString& text) {
  text_ = text;
  if (native_ && native_->text() != text) {
    const QSignalBlocker block(native_);
    ApplyLengthLimit();
    native_->setText(text);
  }
  Invalidate();
}

void CEditUI::SetMaxChar(int maxChar) {
  maxChar_ = maxChar;
  ApplyLengthLimit();
}

void CEditUI::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (native_) native_->setReadOnly(readOnly);
  Invalidate();
}

void CEditUI::SetPasswordMode(bool password) {
  password_ = password;
  if (native_) native_->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
  Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
  numberOnly_ = numberOnly;
  Invalidate();
}

void CEditUI::SetTipValue(const QString& tip) {
  tip_ = tip;
  if (native_) native_->setPlaceholderText(tip);
  Invalidate();
}

QSize CEditUI::EstimateSize(QSize) {
  QSize size = cxyFixed_;
  if (size.height() == 0) size.setHeight(QFontMetrics(FontFor(font_)).height() + 8);
  return size;
}

UiRect CEditUI::NativeRect() const {
  const UiRect rc = rcItem_.Deflated(textPadding_);
  const int h = std::min(rc.Height(), QFontMetrics(FontFor(font_)).height() + 4);
  const int top = rc.top + (rc.Height() - h) / 2;
  return {rc.left, top, rc.right, top + h};
}

void CEditUI::OpenNativeEdit() {
  if (native_ || !manager_ || !manager_->GetPaintWindow() || !IsEnabled() || !IsVisibleInTree()) return;
  QWidget* window = manager_->GetPaintWindow();
  auto* edit = new QLineEdit(window);
  native_ = edit;
  edit->setFrame(false);
  edit->setFont(FontFor(font_));
  ApplyLengthLimit();
  edit->setEchoMode(password_ ? QLineEdit::Password : QLineEdit::Normal);
  edit->setReadOnly(readOnly_);
  edit->setPlaceholderText(tip_);
  if (numberOnly_) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  }
  const ARGB textColor = nativeTextColor_ != 0 ? nativeTextColor_ : EffectiveTextColor();
  edit->setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: %2; border: none; padding: 0; margin: 0;"
                                     " selection-background-color: #3390FF; selection-color: white; }")
                          .arg(CssRgba(nativeBkColor_), CssRgba(textColor | 0xFF000000u)));
  edit->setAlignment((align_ & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
  edit->setText(text_);
  const std::shared_ptr<bool> alive = alive_;
  QObject::connect(edit, &QLineEdit::textChanged, edit, [this, alive](const QString& text) {
    if (!*alive) return;
    text_ = text;
    SendNotify(kNotifyTextChanged);
  });
  QObject::connect(edit, &QLineEdit::returnPressed, edit, [this, alive] {
    if (*alive) SendNotify(kNotifyReturn);
  });
  QPointer<QLineEdit> guard(edit);
  edit->installEventFilter(new NativeEditFilter(edit, manager_, [this, alive, guard] {
    if (*alive && guard && guard == native_ && !guard->hasFocus()) CloseNativeEdit();
  }));
  PlaceOverlay(edit, *this, NativeRect());
  edit->setFocus(Qt::OtherFocusReason);
  if (autoSelectAll_) edit->selectAll();
  else edit->end(false);
  Invalidate();
}

void CEditUI::CloseNativeEdit() {
  if (!native_) return;
  QLineEdit* edit = native_;
  native_ = nullptr;
  text_ = edit->text();
  const bool hadFocus = edit->hasFocus();
  edit->hide();
  edit->deleteLater();
  if (hadFocus && manager_ && manager_->GetPaintWindow()) manager_->GetPaintWindow()->setFocus(Qt::OtherFocusReason);
  Invalidate();
}

void CEditUI::SetPos(UiRect rc, bool needInvalidate) {
  CLabelUI::SetPos(rc, needInvalidate);
  if (native_) PlaceOverlay(native_, *this, NativeRect());
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  if (!IsVisible()) CloseNativeEdit();
}

void CEditUI::SetInternVisible(bool visible) {
  CLabelUI::SetInternVisible(visible);
  if (!IsVisible()) CloseNativeEdit();
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!enabled) {
    CloseNativeEdit();
    hot_ = false;
  }
}

void CEditUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEvent::SetFocus:
      CLabelUI::DoEvent(event);
      OpenNativeEdit();
      return;
    case UiEvent::KillFocus:
      CloseNativeEdit();
      CLabelUI::DoEvent(event);
      return;
    case UiEvent::ButtonDown:
    case UiEvent::DblClick:
      if (IsFocused()) OpenNativeEdit();
      return;
    case UiEvent::ButtonUp:
    case UiEvent::MouseMove:
      return;
    case UiEvent::MouseEnter:
      if (IsEnabled()) {
        hot_ = true;
        Invalidate();
      }
      return;
    case UiEvent::MouseLeave:
      hot_ = false;
      Invalidate();
      return;
    default:
      CLabelUI::DoEvent(event);
  }
}

void CEditUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"maxchar") SetMaxChar(ParseInt(value, 255));
  else if (name == u"readonly") SetReadOnly(ParseBool(value));
  else if (name == u"password") SetPasswordMode(ParseBool(value));
  else if (name == u"numberonly") SetNumberOnly(ParseBool(value));
  else if (name == u"autoselall") autoSelectAll_ = ParseBool(value);
  else if (name == u"normalimage") normalImage_ = value;
  else if (name == u"hotimage") hotImage_ = value;
  else if (name == u"focusedimage") focusedImage_ = value;
  else if (name == u"disabledimage") disabledImage_ = value;
  else if (name == u"nativebkcolor") nativeBkColor_ = ParseColor(value);
  else if (name == u"nativetextcolor") nativeTextColor_ = ParseColor(value);
  else if (name == u"tipvalue" || name == u"prompttext") SetTipValue(value);
  else if (name == u"tipvaluecolor" || name == u"promptcolor") tipColor_ = ParseColor(value);
  else CLabelUI::SetAttribute(rawName, value);
}

void CEditUI::PaintStatusImage(QPainter& painter) {
  bool drawn = false;
  if (!IsEnabled()) drawn = DrawImage(painter, disabledImage_);
  else if (IsFocused()) drawn = DrawImage(painter, focusedImage_);
  else if (hot_) drawn = DrawImage(painter, hotImage_);
  if (!drawn) DrawImage(painter, normalImage_);
}

void CEditUI::PaintText(QPainter& painter) {
  if (native_ && native_->isVisible()) return;
  const UiRect rc = rcItem_.Deflated(textPadding_);
  const bool savedMultiLine = multiLine_;
  multiLine_ = false;
  if (text_.isEmpty()) {
    if (!tip_.isEmpty()) DrawLabelText(painter, tip_, rc, tipColor_);
  } else {
    DrawLabelText(painter, password_ ? QString(text_.size(), u'*') : text_, rc, EffectiveTextColor());
  }
  multiLine_ = savedMultiLine;
}

}  // namespace kv::ui
