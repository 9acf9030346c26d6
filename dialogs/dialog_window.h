#pragma once

#include "uilib/dialog_builder.h"
#include "uilib/notify.h"
#include "uilib/paint_manager.h"
#include "uilib/window.h"

// The window handling every dialog of the launcher shares: on creation the layout is built and
// attached and the dialog registers for its notifications; the window has no frame, is dragged
// by its caption band (not over buttons, options, text or input controls), resized by the size
// box its layout declares, and cut to the layout's round corners.
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

  ui::LRESULT OnCreate();

  ui::CPaintManagerUI paintManager_;
};

}  // namespace kv
