#include "dialogs/worker_dialog.h"

namespace kv {

using namespace ui;

CWorkerDialog::~CWorkerDialog() { JoinWorker(); }

void CWorkerDialog::CreateIndicator() {
  if (loading_) return;
  loading_ = std::make_unique<CLoadingWnd>();
  if (!loading_->CreateFor(GetHWND())) loading_.reset();
}

void CWorkerDialog::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void CWorkerDialog::ClosePending() {
  if (!pendingClose_) return;
  const WPARAM code = *pendingClose_;
  pendingClose_.reset();
  Close(static_cast<int>(code));
}

LRESULT CWorkerDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE && busy_) {
    pendingClose_ = wParam;
    return 0;
  }
  // Nothing is confirmed while the work that it depends on runs.
  if (msg == WM_KEYDOWN && wParam == VK_RETURN && busy_) return 0;
  return CDialogWindow::HandleMessage(msg, wParam, lParam);
}

}  // namespace kv
