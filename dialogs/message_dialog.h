#pragma once

#include "dialogs/dialog_window.h"
#include "util/message_kinds.h"

// The launcher's message box: a caption, the text beside the sign of its kind on a background
// coloured by the kind, an OK button, optionally a Cancel button and optionally a button for
// what the player may do about the message (its text given by the caller). The dialog widens
// to fit its longest line, wraps lines longer than it can show and grows to the height of the
// text; it stays above other windows and runs modally.
namespace kv {

// Button sets.
inline constexpr int kMessageOk = 0;
inline constexpr int kMessageOkCancel = 1;
// The result when the player pressed the action button.
inline constexpr int kMessageActionChosen = 16;
// The caption of the launcher's notices and questions.
inline const QString kPromptCaption = QStringLiteral("提示");

class CMessageDialog : public CDialogWindow {
 public:
  // Shows the dialog and returns 1 (OK), 2 (Cancel), 8 (close button) or kMessageActionChosen;
  // 0 without showing anything when `type` is neither 0 nor 1. The action button is shown
  // when `action` names it. The dialog is created on the GUI thread.
  int Show(ui::HWND owner, const QString& text, MessageKind kind, const QString& caption, int type,
           const QString& action = {});

  // The width the dialog takes for a text `textWidth` pixels wide when its layout makes it
  // `layoutWidth` wide with `room` pixels for the text: wider by the overflow, never narrower.
  static int WidthForText(int layoutWidth, int room, int textWidth);
  // The height the dialog takes when its text, broken to the dialog's width, is `textHeight`
  // high where the layout gives it `rowHeight`: taller by the overflow, never lower.
  static int HeightForText(int layoutHeight, int rowHeight, int textHeight);
  // The background of the text area for a kind; empty for the layout's own.
  static QString BackgroundFor(MessageKind kind);
  // The sign shown beside the text for a kind; empty for none.
  static QString IconFor(MessageKind kind);

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvMessageDialog"); }
  QString GetLayoutFile() const override { return layoutFile_; }
  bool UsesBuilderCallback() const override { return false; }
  void InitControls() override;
  ui::LRESULT HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;

 private:
  void SizeToText(const QString& text);

  QString layoutFile_;
  ui::HWND owner_ = nullptr;
  ui::CControlUI* closeButton_ = nullptr;
  ui::CControlUI* cancelButton_ = nullptr;
  ui::CControlUI* actionButton_ = nullptr;
};

// Builds a message dialog, runs it and returns its result (see CMessageDialog::Show). Safe
// from any thread: the dialog always lives on the GUI thread while the caller waits.
int ShowMessageDialog(ui::HWND owner, const QString& text, MessageKind kind, const QString& caption, int type,
                      const QString& action = {});

}  // namespace kv
