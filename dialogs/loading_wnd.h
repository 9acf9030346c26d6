#pragma once

#include <functional>

#include "dialogs/dialog_window.h"
#include "dialogs/manual_reset_event.h"

// The busy indicator a window shows while one of its workers runs. The owner calls Begin,
// starts the worker and sits in Wait, which keeps the event loop running (so the worker's
// posted messages are handled) but drops mouse input aimed at the owner; the worker calls
// Finish as its last step. Begun with a line, the indicator widens to say what the worker
// does and offers a cancel button.
namespace kv {

class CLoadingWnd : public CDialogWindow {
 public:
  CLoadingWnd();

  // Creates the indicator, hidden, for `owner`.
  bool CreateFor(ui::HWND owner);
  void SetFilterWindow(ui::HWND owner) { filterWindow_ = owner; }

  // Owner's thread: reset the done event and ask for the indicator.
  void Begin();
  // Owner's thread: as Begin, with `text` beside the mark and a cancel button. A click on it
  // calls `onCancel` once; the line then says that the work is being stopped.
  void Begin(const QString& text, std::function<void()> onCancel);
  // Any thread: the line of an indicator begun with one (kept while it is being cancelled).
  void SetText(const QString& text);
  // Owner's thread: handle events until the done event is set.
  void Wait();
  // Worker thread: set the done event, give the owner time to notice, hide the indicator.
  void Finish();
  ManualResetEvent& DoneEvent() { return done_; }

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("LoadingWnd"); }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\LoadingWnd.xml"); }
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;
  void InitControls() override;

 private:
  // The bare mark, or the wide indicator with its line and cancel button.
  void ShowLine(bool withLine);
  void Cancel();

  ui::CControlUI* stage_ = nullptr;
  ui::CControlUI* cancelButton_ = nullptr;
  bool withLine_ = false;
  bool cancelling_ = false;
  std::function<void()> onCancel_;
  ManualResetEvent done_{true};
  ui::HWND filterWindow_ = nullptr;
};

}  // namespace kv
