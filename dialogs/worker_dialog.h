#pragma once

#include <memory>
#include <optional>
#include <thread>

#include "dialogs/dialog_window.h"
#include "dialogs/loading_wnd.h"

// A dialog that runs slow work (a download, a sign-in, starting a program) on a worker thread
// behind a loading indicator of its own. The dialog keeps painting and handling events while
// the work runs; mouse input and Enter are dropped, and a close asked for meanwhile (Escape,
// Space on a button) happens once the work is done, so the code after the work finds the dialog
// whole.
namespace kv {

class CWorkerDialog : public CDialogWindow {
 public:
  ~CWorkerDialog() override;

  // Whether work is running (the indicator is up).
  bool Busy() const { return busy_; }

 protected:
  // Creates the indicator; from InitControls.
  void CreateIndicator();

  // Runs `work` on a worker thread and returns when it is done, having handled events
  // meanwhile. Without an indicator (it could not be made) the work runs here.
  template <typename Work>
  void RunInBackground(Work&& work) {
    JoinWorker();
    if (!loading_) {
      work();
      return;
    }
    busy_ = true;
    loading_->Begin();
    // The work ends before the worker signals, so what it refers to here is not touched
    // afterwards; only the indicator's hiding goes on.
    worker_ = std::thread([&work, loading = loading_.get()] {
      work();
      loading->Finish();
    });
    loading_->Wait();
    busy_ = false;
    ClosePending();
  }

  ui::LRESULT HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;

 private:
  void JoinWorker();
  void ClosePending();

  std::unique_ptr<CLoadingWnd> loading_;
  std::thread worker_;
  bool busy_ = false;
  std::optional<ui::WPARAM> pendingClose_;
};

}  // namespace kv
