#pragma once

#include "uilib/dialog_builder.h"
#include "uilib/notify.h"
#include "uilib/paint_manager.h"
#include "uilib/window.h"

// The window handling every dialog of the launcher shares: on creation the layout is built and
// attached and the dialog registers for its notifications; the window has no frame, is dragged
// by its caption band (not over buttons, options, text or input controls), resized by the size
// box its layout declares, and cut to the layout's round corners. Escape presses the dialog's
// cancel button and Enter its confirm button (unless a focused button takes the Enter itself),
// for the dialogs that name them.
namespace kv {

class CDialogWindow : public ui::CWindowWnd, public ui::INotifyUI, public ui::IDialogBuilderCallback {
 public:
  ui::LRESULT HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;
  void Notify(ui::TNotifyUI& msg) override;
  ui::CControlUI* CreateControl(const QString& className) override;
  ui::CPaintManagerUI& GetPaintManager() { return paintManager_; }

 protected:
  virtual QString GetLayoutFile() const = 0;
  // Whether the layout is built with this dialog as its builder callback.
  virtual bool UsesBuilderCallback() const { return true; }
  // Looks up the dialog's controls and does its own set-up, once the layout is attached.
  virtual void InitControls() {}
  virtual ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled);
  // The buttons Enter and Escape press, by name; none unless the dialog says.
  virtual QString ConfirmButtonName() const { return {}; }
  virtual QString CancelButtonName() const { return {}; }

  ui::LRESULT OnCreate();
  // Enter and Escape as the dialog's buttons; true when the key pressed one.
  bool PressButtonForKey(ui::WPARAM key);

  ui::CPaintManagerUI paintManager_;
};

}  // namespace kv
