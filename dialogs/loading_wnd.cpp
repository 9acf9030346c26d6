#include "dialogs/loading_wnd.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <thread>

#include "dialogs/window_messages.h"

namespace kv {

using namespace ui;

namespace {

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

void CLoadingWnd::Begin() {
  done_.Reset();
  PostMessage(WMU_SHOW, 1, 0);
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
    CenterWindow();
    // Shown without taking the keyboard from the owner, which keeps working meanwhile.
    ShowWindow(true, false);
  } else {
    ShowWindow(false, false);
  }
  return 0;
}

}  // namespace kv
