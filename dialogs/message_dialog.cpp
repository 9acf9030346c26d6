#include "dialogs/message_dialog.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "uilib/container.h"
#include "uilib/control.h"
#include "uilib/gui_thread.h"
#include "uilib/label.h"
#include "uilib/text_wrap.h"
#include "uilib/ui_cast.h"

namespace kv {

using namespace ui;

namespace {

constexpr UINT kMessageDialogStyle = 0x96C80000;
// The widest a message grows before its lines wrap.
constexpr int kMaxWidth = 720;

}  // namespace

int CMessageDialog::WidthForText(int layoutWidth, int room, int textWidth) {
  return layoutWidth + std::max(0, textWidth - room);
}

QString CMessageDialog::BackgroundFor(MessageKind kind) {
  switch (kind) {
    case MessageKind::Error:
    case MessageKind::Information:
      return QStringLiteral("file='image\\MessageDialog\\BK.png' source='222,0,333,120' corner='111,0,0,0'");
    case MessageKind::Question:
      return QStringLiteral("file='image\\MessageDialog\\BK.png' source='111,0,222,120' corner='111,0,0,0'");
    case MessageKind::Warning:
      return QStringLiteral("file='image\\MessageDialog\\BK.png' source='0,0,111,120' corner='111,0,0,0'");
  }
  return {};
}

void CMessageDialog::InitControls() {
  closeButton_ = paintManager_.FindControl(QStringLiteral("closebtn"));
  cancelButton_ = paintManager_.FindControl(QStringLiteral("cancelbtn"));
  actionButton_ = paintManager_.FindControl(QStringLiteral("actionbtn"));
  // A layout that shares the frame's background takes the frame's colour and picture.
  if (CControlUI* background = paintManager_.FindControl(QStringLiteral("Main_Background"))) {
    CPaintManagerUI* ownerManager = owner_ ? CPaintManagerUI::ForWindow(owner_) : nullptr;
    CControlUI* frameBackground = ownerManager ? ownerManager->FindControl(QStringLiteral("Main_Background")) : nullptr;
    background->SetBkImage(QString());
    background->SetBkColor(frameBackground ? frameBackground->GetBkColor() : 0);
    const QString file = frameBackground ? frameBackground->GetBkImage() : QString();
    background->SetBkImage(file.isEmpty() ? QString() : QStringLiteral("file='%1' source='0,0,1000,30'").arg(file));
  }
}

void CMessageDialog::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || !msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (name == u"closebtn") Close(IDCLOSE);
  else if (name == u"cancelbtn") Close(IDCANCEL);
  else if (name == u"okbtn") Close(IDOK);
  else if (name == u"actionbtn") Close(kMessageActionChosen);
}

LRESULT CMessageDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Escape answers like the close button.
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    Close(IDCLOSE);
    return 0;
  }
  return CDialogWindow::HandleMessage(msg, wParam, lParam);
}

int CMessageDialog::HeightForText(int layoutHeight, int rowHeight, int textHeight) {
  return layoutHeight + std::max(0, textHeight - rowHeight);
}

QString CMessageDialog::IconFor(MessageKind kind) {
  const auto cell = [](int index) {
    return QStringLiteral("file='image\\MessageDialog\\Icon.png' source='%1,0,%2,36'").arg(index * 36).arg(index * 36 + 36);
  };
  switch (kind) {
    case MessageKind::Warning: return cell(0);
    case MessageKind::Question: return cell(1);
    case MessageKind::Error:
    case MessageKind::Information: return cell(2);
  }
  return {};
}

void CMessageDialog::SizeToText(const QString& text) {
  CControlUI* found = paintManager_.FindControl(QStringLiteral("text"));
  auto* textControl = ui_cast<CLabelUI>(found);
  CControlUI* row = paintManager_.FindControl(QStringLiteral("MessageRow"));
  QWidget* window = GetHWND();
  if (!textControl || !window) return;
  textControl->SetText(text);
  paintManager_.UpdateLayout();
  const int width = window->width();
  const UiRect& padding = textControl->GetTextPadding();
  const int room = textControl->GetPos().Width() - padding.left - padding.right;
  // Each line is measured on its own: the widest decides, up to a width that stays readable
  // and on the screen; longer lines wrap and the dialog grows downwards instead.
  const QFont font = paintManager_.GetFont(0);
  int widest = 0;
  for (const QString& line : text.split(u'\n')) widest = std::max(widest, QFontMetrics(font).horizontalAdvance(line));
  int widthLimit = kMaxWidth;
  if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
    widthLimit = std::min(widthLimit, screen->availableGeometry().width() - 40);
  }
  const int newWidth = std::min(WidthForText(width, room, widest), std::max(width, widthLimit));
  // One pixel to spare against rounding between measuring and painting.
  const int textHeight = WrappedTextHeight(font, text, room + newWidth - width - 1);
  int newHeight = window->height();
  if (row) {
    newHeight = HeightForText(newHeight, row->GetFixedHeight(), textHeight);
    const int rowHeight = std::max(row->GetFixedHeight(), textHeight);
    row->SetFixedHeight(rowHeight);
    textControl->SetFixedHeight(rowHeight);
  }
  window->resize(newWidth, newHeight);
  paintManager_.NeedUpdate();
}

int CMessageDialog::Show(HWND owner, const QString& text, MessageKind kind, const QString& caption, int type,
                         const QString& action) {
  if (type != kMessageOk && type != kMessageOkCancel) return 0;
  return RunOnGuiThread([&] {
    owner_ = owner;
    layoutFile_ = QStringLiteral("xmls\\MessageBoxDialog.xml");
    // Created hidden and shown by the modal run, once it has its final size.
    if (!Create(owner, QString(), kMessageDialogStyle & ~WS_VISIBLE, WS_EX_WINDOWEDGE)) return 0;
    if (type == kMessageOk && cancelButton_) cancelButton_->SetVisible(false);
    if (actionButton_) {
      actionButton_->SetText(action);
      actionButton_->SetVisible(!action.isEmpty());
    }
    if (CControlUI* layout = paintManager_.FindControl(QStringLiteral("TextLayout"))) {
      const QString background = BackgroundFor(kind);
      if (!background.isEmpty()) layout->SetBkImage(background);
    }
    if (CControlUI* icon = paintManager_.FindControl(QStringLiteral("icon"))) icon->SetBkImage(IconFor(kind));
    if (CControlUI* captionLabel = paintManager_.FindControl(QStringLiteral("caption"))) captionLabel->SetText(caption);
    SizeToText(text);
    CenterWindow();
    SetTopMost(true);
    return ShowModal();
  });
}

int ShowMessageDialog(HWND owner, const QString& text, MessageKind kind, const QString& caption, int type,
                      const QString& action) {
  return RunOnGuiThread([&] {
    CMessageDialog dialog;
    return dialog.Show(owner, text, kind, caption, type, action);
  });
}

}  // namespace kv
