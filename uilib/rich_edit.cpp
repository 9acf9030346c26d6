#include "uilib/rich_edit.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "uilib/attribute_values.h"
#include "uilib/overlay.h"
#include "uilib/paint_manager.h"

namespace kv::ui {
namespace {

class RichEditKeyFilter : public QObject {
 public:
  RichEditKeyFilter(QObject* parent, std::function<bool(QKeyEvent*)> onKey, std::function<void()> onFocus)
      : QObject(parent), onKey_(std::move(onKey)), onFocus_(std::move(onFocus)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && onKey_(static_cast<QKeyEvent*>(event))) return true;
    if (event->type() == QEvent::FocusIn) onFocus_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(QKeyEvent*)> onKey_;
  std::function<void()> onFocus_;
};

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
  *alive_ = false;
  if (native_) {
    native_->disconnect();
    native_->hide();
    native_->deleteLater();
  }
}

QString CRichEditUI::GetClass() const { return QStringLiteral("RichEditUI"); }

void* CRichEditUI::GetInterface(const QString& name) {
  if (name.compare(u"RichEdit", Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const {
  if (!IsEnabled()) return 0;
  return UIFLAG_TABSTOP | UIFLAG_SETCURSOR | (wantTab_ ? UIFLAG_WANTRETURN : 0);
}

QString CRichEditUI::GetText() const { return native_ ? native_->toPlainText() : pendingText_; }

void CRichEditUI::SetText(const QString& text) {
  const QString limited = text.left(limit_);
  if (!native_) {
    pendingText_ = limited;
    return;
  }
  programmatic_ = true;
  native_->setPlainText(limited);
  programmatic_ = false;
  if (autoVScroll_) native_->verticalScrollBar()->setValue(native_->verticalScrollBar()->maximum());
}

bool CRichEditUI::AtEnd() const {
  const QScrollBar* bar = native_->verticalScrollBar();
  return bar->value() >= bar->maximum() - 2;
}

template <typename Change>
void CRichEditUI::ChangeText(Change change) {
  const bool follow = autoVScroll_ && AtEnd();
  programmatic_ = true;
  change();
  programmatic_ = false;
  if (follow) native_->verticalScrollBar()->setValue(native_->verticalScrollBar()->maximum());
}

void CRichEditUI::AppendText(const QString& text, bool replaceSelection) {
  if (!native_) {
    pendingText_ += text;
    return;
  }
  ChangeText([&] {
    QTextCursor cursor(native_->document());
    if (replaceSelection) {
      cursor = native_->textCursor();
    } else {
      cursor.movePosition(QTextCursor::End);
    }
    cursor.insertText(text);
  });
}

int CRichEditUI::GetTextLength() const {
  return native_ ? native_->document()->characterCount() - 1 : static_cast<int>(pendingText_.size());
}

int CRichEditUI::GetLineCount() const {
  return native_ ? native_->document()->blockCount() : static_cast<int>(pendingText_.count(QLatin1Char('\n'))) + 1;
}

void CRichEditUI::ReplaceLines(int first, int count, const QString& line) {
  const int lines = GetLineCount();
  if (first < 0 || first >= lines || count < 1) return;
  count = std::min(count, lines - first);
  if (!native_) {
    QStringList parts = pendingText_.split(QLatin1Char('\n'));
    parts.erase(parts.begin() + first, parts.begin() + first + count);
    parts.insert(first, line);
    pendingText_ = parts.join(QLatin1Char('\n'));
    return;
  }
  ChangeText([&] {
    QTextDocument* document = native_->document();
    QTextCursor cursor(document->findBlockByNumber(first));
    const QTextBlock last = document->findBlockByNumber(first + count - 1);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(line);
  });
}

void CRichEditUI::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (native_) native_->setReadOnly(readOnly);
}

void CRichEditUI::SetLimitText(int limit) { limit_ = std::max(0, limit); }

void CRichEditUI::ApplyStyle() {
  if (!native_) return;
  const ARGB color = textColor_ != 0 ? textColor_ : (manager_ ? manager_->GetDefaultFontColor() : 0xFF000000);
  native_->setFont(manager_ ? manager_->GetFont(font_) : QFont());
  native_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; color: %1; border: none; padding: 0;"
                                        " selection-background-color: #3390FF; selection-color: white; }")
                             .arg(CssRgba(color | 0xFF000000u)) +
                         SlimScrollBarStyle());
  native_->setVerticalScrollBarPolicy(vscroll_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  native_->setHorizontalScrollBarPolicy(hscroll_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  native_->setLineWrapMode(hscroll_ || !multiLine_ ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
  native_->setReadOnly(readOnly_);
  native_->setTabChangesFocus(!wantTab_);
  native_->setPlaceholderText(tip_);
  QTextOption option = native_->document()->defaultTextOption();
  option.setAlignment(align_);
  native_->document()->setDefaultTextOption(option);
}

void CRichEditUI::DoInit() {
  if (native_ || !manager_ || !manager_->GetPaintWindow()) return;
  auto* edit = new QPlainTextEdit(manager_->GetPaintWindow());
  native_ = edit;
  edit->setFrameShape(QFrame::NoFrame);
  edit->viewport()->setAutoFillBackground(false);
  edit->document()->setDocumentMargin(0);
  ApplyStyle();
  if (!pendingText_.isEmpty()) {
    edit->setPlainText(pendingText_);
    pendingText_.clear();
  }
  const std::shared_ptr<bool> alive = alive_;
  QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, alive] {
    if (!*alive || programmatic_) return;
    if (native_->document()->characterCount() - 1 > limit_) {
      // Over the limit: drop the end of what was typed or pasted.
      programmatic_ = true;
      QTextCursor cursor(native_->document());
      cursor.setPosition(limit_);
      cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      cursor.removeSelectedText();
      programmatic_ = false;
    }
    SendNotify(kNotifyTextChanged);
  });
  edit->installEventFilter(new RichEditKeyFilter(
      edit,
      [this, alive](QKeyEvent* key) {
        if (!*alive) return false;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter) {
          const bool ctrl = key->modifiers() & Qt::ControlModifier;
          if (!multiLine_ || (ctrl ? !wantCtrlReturn_ : !wantReturn_)) {
            SendNotify(kNotifyReturn);
            return true;
          }
        }
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && !wantTab_ && manager_) {
          manager_->SetNextTabControl(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
          return true;
        }
        return false;
      },
      [this, alive] {
        if (*alive && manager_ && manager_->GetFocus() != this) manager_->SetFocus(this);
      }));
  UpdateNative();
}

void CRichEditUI::UpdateNative() {
  if (!native_) return;
  const bool follow = autoVScroll_ && AtEnd();
  PlaceOverlay(native_, *this, rcItem_.Deflated(textPadding_));
  native_->setEnabled(IsEnabled());
  if (follow) native_->verticalScrollBar()->setValue(native_->verticalScrollBar()->maximum());
}

void CRichEditUI::SetPos(UiRect rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  UpdateNative();
}

void CRichEditUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  UpdateNative();
}

void CRichEditUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  UpdateNative();
}

void CRichEditUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  UpdateNative();
}

void CRichEditUI::DoEvent(TEventUI& event) {
  if (event.type == UiEvent::SetFocus && native_ && !native_->hasFocus()) native_->setFocus(Qt::OtherFocusReason);
  if (event.type == UiEvent::ScrollWheel && native_) {
    QScrollBar* bar = native_->verticalScrollBar();
    bar->setValue(bar->value() + (event.wParam == 0 ? -3 : 3) * bar->singleStep());
    return;
  }
  CControlUI::DoEvent(event);
}

void CRichEditUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"multiline") multiLine_ = ParseBool(value);
  else if (name == u"readonly") readOnly_ = ParseBool(value);
  else if (name == u"wantreturn") wantReturn_ = ParseBool(value);
  else if (name == u"wanttab") wantTab_ = ParseBool(value);
  else if (name == u"wantctrlreturn") wantCtrlReturn_ = ParseBool(value);
  else if (name == u"vscrollbar") vscroll_ = ParseBool(value);
  else if (name == u"hscrollbar") hscroll_ = ParseBool(value);
  else if (name == u"autovscroll") autoVScroll_ = ParseBool(value);
  else if (name == u"autohscroll" || name == u"rich" || name == u"transparent" || name == u"password") {
    custom_.insert(name, value);
  } else if (name == u"maxchar") SetLimitText(ParseInt(value, 32767));
  else if (name == u"font") font_ = ParseInt(value, -1);
  else if (name == u"textcolor") textColor_ = ParseColor(value);
  else if (name == u"textpadding") textPadding_ = ParseRect(value);
  else if (name == u"tipvalue") tip_ = value;
  else if (name == u"align") {
    const QString v = value.toLower();
    align_ = v.contains(u"center") ? Qt::AlignHCenter : v.contains(u"right") ? Qt::AlignRight : Qt::AlignLeft;
  } else {
    CControlUI::SetAttribute(rawName, value);
    return;
  }
  ApplyStyle();
  UpdateNative();
}

}  // namespace kv::ui
