#include "dialogs/loading_wnd.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <thread>

#include "dialogs/window_messages.h"
#include "uilib/container.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

// The mark alone, as the layout draws it, and the indicator with a line.
constexpr QSize kMarkSize(40, 40);
constexpr QSize kMarkCorner(40, 40);
constexpr QSize kLineSize(460, 56);
constexpr QSize kLineCorner(10, 10);
constexpr UiRect kLineInset{8, 8, 12, 8};

// Swallows mouse input for one window (and the native editors placed on it).
class MouseDropFilter : public QObject {
 public:
  explicit MouseDropFilter(QWidget* window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
        break;
      default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    return window_ && widget && widget->window() == window_;
  }

 private:
  QPointer<QWidget> window_;
};

}  // namespace

CLoadingWnd::CLoadingWnd() = default;

bool CLoadingWnd::CreateFor(HWND owner) {
  if (!Create(owner, QString(), 0x90420000u & ~WS_VISIBLE, WS_EX_WINDOWEDGE)) return false;
  ShowWindow(false, false);
  filterWindow_ = owner;
  return true;
}

void CLoadingWnd::InitControls() {
  stage_ = paintManager_.FindControl(QStringLiteral("LB_Stage"));
  cancelButton_ = paintManager_.FindControl(QStringLiteral("Btn_Cancel"));
}

void CLoadingWnd::Begin() {
  withLine_ = false;
  onCancel_ = nullptr;
  done_.Reset();
  PostMessage(WMU_SHOW, 1, 0);
}

void CLoadingWnd::Begin(const QString& text, std::function<void()> onCancel) {
  withLine_ = true;
  cancelling_ = false;
  onCancel_ = std::move(onCancel);
  if (stage_) stage_->SetText(text);
  if (cancelButton_) cancelButton_->SetEnabled(true);
  done_.Reset();
  PostMessage(WMU_SHOW, 1, 0);
}

void CLoadingWnd::SetText(const QString& text) {
  PostTask([this, text] {
    if (stage_ && !cancelling_) stage_->SetText(text);
  });
}

void CLoadingWnd::Notify(TNotifyUI& msg) {
  // Only the launch's cancel button: the indicator itself is never closed by the player.
  if (msg.sType == kNotifyClick && msg.pSender && msg.pSender == cancelButton_) Cancel();
}

void CLoadingWnd::Cancel() {
  if (cancelling_ || !onCancel_) return;
  cancelling_ = true;
  if (stage_) stage_->SetText(QString::fromUtf8(msg::kStageCancelling));
  if (cancelButton_) cancelButton_->SetEnabled(false);
  onCancel_();
}

void CLoadingWnd::ShowLine(bool withLine) {
  if (stage_) stage_->SetVisible(withLine);
  if (cancelButton_) cancelButton_->SetVisible(withLine);
  if (CControlUI* root = paintManager_.GetRoot()) {
    if (auto* box = ui_cast<CContainerUI>(root)) {
      box->SetInset(withLine ? kLineInset : UiRect{});
    }
  }
  const QSize corner = withLine ? kLineCorner : kMarkCorner;
  paintManager_.SetRoundCorner(corner.width(), corner.height());
  const QSize size = withLine ? kLineSize : kMarkSize;
  ResizeClient(size.width(), size.height());
  SetRoundCorner(corner);
}

void CLoadingWnd::Wait() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) {
    done_.Wait();
    return;
  }
  MouseDropFilter filter(filterWindow_);
  app->installEventFilter(&filter);
  // Sleeps in the event loop between events; Finish wakes it, and a slow tick bounds the wait
  // when a worker sets the event by itself.
  QTimer tick;
  tick.start(20);
  while (!done_.IsSet()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  app->removeEventFilter(&filter);
}

void CLoadingWnd::Finish() {
  done_.Set();
  if (QCoreApplication* app = QCoreApplication::instance()) {
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(app->thread())) dispatcher->wakeUp();
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  PostMessage(WMU_SHOW, 0, 0);
}

LRESULT CLoadingWnd::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg != WMU_SHOW) {
    handled = false;
    return 0;
  }
  handled = true;
  if (wParam != 0) {
    ShowLine(withLine_);
    CenterWindow();
    // Shown without taking the keyboard from the owner, which keeps working meanwhile.
    ShowWindow(true, false);
  } else {
    ShowWindow(false, false);
  }
  return 0;
}

}  // namespace kv
