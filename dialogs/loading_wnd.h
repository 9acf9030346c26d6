#pragma once

#include "dialogs/dialog_window.h"
#include "dialogs/manual_reset_event.h"

// The busy indicator a window shows while one of its workers runs. The owner calls Begin,
// starts the worker and sits in Wait, which keeps the event loop running (so the worker's
// posted messages are handled) but drops mouse input aimed at the owner; the worker calls
// Finish as its last step.
namespace kv {

class CLoadingWnd : public CDialogWindow {
 public:
  CLoadingWnd();

  // Creates the indicator, hidden, for `owner`.
  bool CreateFor(ui::HWND owner);
  void SetFilterWindow(ui::HWND owner) { filterWindow_ = owner; }

  // Owner's thread: reset the done event and ask for the indicator.
  void Begin();
  // Owner's thread: handle events until the done event is set.
  void Wait();
  // Worker thread: set the done event, give the owner time to notice, hide the indicator.
  void Finish();
  ManualResetEvent& DoneEvent() { return done_; }

 protected:
  QString GetWindowClass() const override { return QStringLiteral("LoadingWnd"); }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\LoadingWnd.xml"); }
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;

 private:
  ManualResetEvent done_{true};
  ui::HWND filterWindow_ = nullptr;
};

}  // namespace kv
