#include "uilib/window.h"

#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <vector>

#include "uilib/gui_thread.h"
#include "uilib/native_window.h"
#include "uilib/round_corners.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

const QEvent::Type kWindowMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kQuitEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kWindowTaskEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct WindowMessage : QEvent {
  WindowMessage(UINT m, WPARAM w, LPARAM l) : QEvent(kWindowMessageEvent), msg(m), wParam(w), lParam(l) {}
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

struct QuitMessage : QEvent {
  explicit QuitMessage(int c) : QEvent(kQuitEvent), code(c) {}
  int code;
};

// Modal loops running on the GUI thread, innermost last.
std::vector<QEventLoop*>& ModalLoops() {
  static std::vector<QEventLoop*> loops;
  return loops;
}

bool& QuitPending() {
  static bool pending = false;
  return pending;
}

int& QuitCode() {
  static int code = 0;
  return code;
}

// Receives quit requests on the GUI thread.
class QuitRelay : public QObject {
 public:
  static QuitRelay& Instance() {
    static QuitRelay* relay = [] {
      auto* r = new QuitRelay();
      if (QCoreApplication::instance()) {
        r->moveToThread(QCoreApplication::instance()->thread());
        r->setParent(QCoreApplication::instance());
      }
      return r;
    }();
    return *relay;
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != kQuitEvent) return QObject::event(event);
    const int code = static_cast<QuitMessage*>(event)->code;
    if (ModalLoops().empty()) {
      QCoreApplication::exit(code);
      return true;
    }
    QuitPending() = true;
    QuitCode() = code;
    for (auto it = ModalLoops().rbegin(); it != ModalLoops().rend(); ++it) (*it)->exit(code);
    return true;
  }
};

// A window shown again comes back restored, as it was before it was minimised. A window that
// was minimised and then brought back by the window manager can still carry the minimised
// start state (X11's WM_HINTS) that minimising gave it, and a hidden window shown with it would
// map minimised again: passing through the minimised state while hidden renews that state.
void ForgetMinimized(QWidget& widget) {
  const Qt::WindowStates kept = widget.windowState() & ~Qt::WindowMinimized;
  widget.setWindowState(kept | Qt::WindowMinimized);
  widget.setWindowState(kept);
}

}  // namespace

// A task on its way to a window; deleting the event (as Qt does with the events of a receiver
// that goes away) destroys the task.
class CWindowWnd::TaskEvent : public QEvent {
 public:
  explicit TaskEvent(std::unique_ptr<QueuedTask> task) : QEvent(kWindowTaskEvent), task_(std::move(task)) {}
  QueuedTask& Task() { return *task_; }

 private:
  std::unique_ptr<QueuedTask> task_;
};

// Receives the messages and tasks posted to one window, on the GUI thread.
class WindowMailbox : public QObject {
 public:
  explicit WindowMailbox(CWindowWnd* window) : window_(window) {
    if (QCoreApplication::instance() && thread() != QCoreApplication::instance()->thread()) {
      moveToThread(QCoreApplication::instance()->thread());
    }
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() == kWindowTaskEvent) {
      window_->ReceiveTask(static_cast<CWindowWnd::TaskEvent*>(event)->Task());
      return true;
    }
    if (event->type() != kWindowMessageEvent) return QObject::event(event);
    const auto* m = static_cast<WindowMessage*>(event);
    window_->ReceivePosted(m->msg, m->wParam, m->lParam);
    return true;
  }

 private:
  CWindowWnd* window_;
};

CWindowWnd::CWindowWnd() : mailbox_(std::make_unique<WindowMailbox>(this)) {}

CWindowWnd::~CWindowWnd() {
  NativeWindow* widget = nullptr;
  {
    std::lock_guard lock(mutex_);
    widget = widget_;
    widget_ = nullptr;
  }
  if (widget) {
    widget->Detach();
    widget->hide();
    widget->deleteLater();
  }
  if (modalLoop_) modalLoop_->exit(0);
  // Messages and tasks still queued for this window die with its mailbox.
  mailbox_.reset();
}

HWND CWindowWnd::GetHWND() const {
  std::lock_guard lock(mutex_);
  return widget_;
}

CWindowWnd* CWindowWnd::FromHandle(HWND hWnd) {
  auto* widget = dynamic_cast<NativeWindow*>(hWnd);
  return widget ? widget->Owner() : nullptr;
}

HWND CWindowWnd::Create(HWND parent, const QString& name, UINT style, UINT exStyle, const UiRect& rc) {
  return Create(parent, name, style, exStyle, rc.left, rc.top, rc.Width(), rc.Height());
}

HWND CWindowWnd::Create(HWND parent, const QString& name, UINT style, UINT exStyle, int x, int y, int cx, int cy) {
  if (NativeWindow* existing = widget_) return existing;
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  const bool popup = (exStyle & WS_EX_TOOLWINDOW) && (exStyle & WS_EX_TOPMOST);
  if (popup && parent) {
    flags |= Qt::Popup;
  } else {
    flags |= parent ? Qt::Dialog : Qt::Window;
    if (exStyle & WS_EX_TOOLWINDOW) flags |= Qt::Tool;
    if (exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  }
  auto* widget = new NativeWindow(this, parent, flags);
  widget->setWindowTitle(name);
  widget->setObjectName(GetWindowClass());
  if (cx != CW_USEDEFAULT && cy != CW_USEDEFAULT && cx > 0 && cy > 0) widget->resize(cx, cy);
  if (x != CW_USEDEFAULT && y != CW_USEDEFAULT) widget->move(x, y);
  style_ = style;
  exStyle_ = exStyle;
  {
    std::lock_guard lock(mutex_);
    widget_ = widget;
  }
  if (HandleMessage(WM_CREATE, 0, 0) == -1) {
    DestroyWindow();
    return nullptr;
  }
  if ((style & WS_VISIBLE) && widget_) widget_->show();
  return widget_;
}

void CWindowWnd::DestroyWindow() {
  NativeWindow* widget = widget_;
  if (!widget) return;
  HandleMessage(WM_DESTROY, 0, 0);
  {
    std::lock_guard lock(mutex_);
    widget_ = nullptr;
  }
  widget->Detach();
  widget->hide();
  widget->deleteLater();
  FinishDestroy(widget);
}

void CWindowWnd::WidgetDestroyed() {
  {
    std::lock_guard lock(mutex_);
    if (!widget_) return;
    widget_ = nullptr;
  }
  HandleMessage(WM_DESTROY, 0, 0);
  FinishDestroy(nullptr);
}

void CWindowWnd::FinishDestroy(HWND old) {
  if (modalLoop_) modalLoop_->exit(0);
  OnFinalMessage(old);  // may delete this
}

void CWindowWnd::OnFinalMessage(HWND) {}

bool CWindowWnd::AcceptsDroppedText(const QString&) const { return false; }

void CWindowWnd::OnTextDropped(const QString&) {}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  NativeWindow* widget = widget_;
  if (!widget) return;
  if (!show) {
    widget->hide();
    return;
  }
  widget->setAttribute(Qt::WA_ShowWithoutActivating, !takeFocus);
  if (!widget->isVisible()) ForgetMinimized(*widget);
  if (widget->isMinimized()) widget->showNormal();
  else widget->show();
  if (takeFocus) {
    widget->raise();
    widget->activateWindow();
  }
}

int CWindowWnd::ShowModal() {
  NativeWindow* widget = widget_;
  if (!widget || QuitPending()) return 0;
  QWidget* owner = widget->parentWidget();
  if (owner && widget->windowModality() == Qt::NonModal) {
    // Modality is set while hidden; the show below puts the window back at once.
    const bool visible = widget->isVisible();
    if (visible) widget->hide();
    widget->setWindowModality(Qt::WindowModal);
  }
  modalResult_ = 0;
  widget->show();
  widget->raise();
  widget->activateWindow();
  QEventLoop loop;
  modalLoop_ = &loop;
  ModalLoops().push_back(&loop);
  loop.exec(QEventLoop::DialogExec);
  ModalLoops().pop_back();
  modalLoop_ = nullptr;
  if (ModalLoops().empty() && QuitPending()) {
    // The quit has ended every modal loop; an application event loop ends too.
    QuitPending() = false;
    QCoreApplication::exit(QuitCode());
  }
  return modalResult_;
}

void CWindowWnd::Close(int ret) { PostMessage(WM_CLOSE, static_cast<WPARAM>(ret), 0); }

void CWindowWnd::CenterWindow() {
  NativeWindow* widget = widget_;
  if (!widget) return;
  QWidget* owner = widget->parentWidget();
  const bool onOwner = owner && owner->isVisible() && !owner->isMinimized();
  QScreen* screen = onOwner ? owner->screen() : widget->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QRect reference = onOwner ? owner->frameGeometry() : area;
  QPoint pos = reference.center() - QPoint(widget->width() / 2, widget->height() / 2);
  pos.setX(std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() - widget->width() + 1)));
  pos.setY(std::clamp(pos.y(), area.top(), std::max(area.top(), area.bottom() - widget->height() + 1)));
  widget->move(pos);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  NativeWindow* widget = widget_;
  if (!widget) return;
  widget->resize(cx >= 0 ? cx : widget->width(), cy >= 0 ? cy : widget->height());
}

void CWindowWnd::SetTopMost(bool topMost) {
  NativeWindow* widget = widget_;
  if (!widget || (widget->windowFlags() & Qt::Popup) == Qt::Popup) return;
  if (widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost) return;
  const bool visible = widget->isVisible();
  widget->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
  if (visible) widget->show();
}

void CWindowWnd::SetIcon(const QIcon& icon) {
  if (NativeWindow* widget = widget_) widget->setWindowIcon(icon);
}

void CWindowWnd::SetIcon(const QString& skinImage) {
  if (const QPixmap* pixmap = SkinResources::Instance().Image(skinImage)) SetIcon(QIcon(*pixmap));
}

void CWindowWnd::SetRoundCorner(QSize corner) {
  NativeWindow* widget = widget_;
  if (!widget) return;
  const bool round = corner.width() > 0 && corner.height() > 0 && !widget->isMaximized();
  // A see-through window (the layout's round corners asked for it where a compositor shows
  // it) paints its own smooth corners; any other is cut to a region.
  widget->SetPaintedCorner(round ? corner : QSize());
  if (!round || widget->testAttribute(Qt::WA_TranslucentBackground)) {
    widget->clearMask();
    return;
  }
  widget->setMask(RoundedRegion(widget->size(), corner));
}

bool CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(mutex_);
  if (!widget_ || !mailbox_) return false;
  QCoreApplication::postEvent(mailbox_.get(), new WindowMessage(msg, wParam, lParam));
  return true;
}

bool CWindowWnd::PostQueuedTask(std::unique_ptr<QueuedTask> task) {
  std::lock_guard lock(mutex_);
  // Refused, the task is destroyed as the call returns, after the lock is released.
  if (!widget_ || !mailbox_) return false;
  QCoreApplication::postEvent(mailbox_.get(), new TaskEvent(std::move(task)));
  return true;
}

void CWindowWnd::ReceiveTask(QueuedTask& task) {
  // A window destroyed since the task was queued no longer takes it.
  if (widget_) task.Run();
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (IsGuiThread()) return widget_ ? HandleMessage(msg, wParam, lParam) : 0;
  LRESULT result = 0;
  {
    std::lock_guard lock(mutex_);
    if (!widget_ || !mailbox_) return 0;
  }
  QMetaObject::invokeMethod(
      mailbox_.get(),
      [&] {
        if (widget_) result = HandleMessage(msg, wParam, lParam);
      },
      Qt::BlockingQueuedConnection);
  return result;
}

void CWindowWnd::ReceivePosted(UINT msg, WPARAM wParam, LPARAM lParam) {
  NativeWindow* widget = widget_;
  if (!widget) return;
  if (msg == WM_CLOSE) {
    modalResult_ = static_cast<int>(wParam);
    if (QWidget* owner = widget->parentWidget(); owner && owner->isVisible()) owner->activateWindow();
  }
  HandleMessage(msg, wParam, lParam);
}

bool CWindowWnd::IsMaximized() const {
  NativeWindow* widget = widget_;
  return widget && widget->isMaximized();
}

bool CWindowWnd::IsMinimized() const {
  NativeWindow* widget = widget_;
  return widget && widget->isMinimized();
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM) {
  NativeWindow* widget = widget_;
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_SYSCOMMAND:
      if (!widget) return 0;
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: return SendMessage(WM_CLOSE, 0, 0);
        case SC_MINIMIZE: widget->showMinimized(); return 0;
        case SC_MAXIMIZE: widget->showMaximized(); return 0;
        case SC_RESTORE: widget->showNormal(); return 0;
        default: return 0;
      }
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_NCACTIVATE:
      return 1;
    default:
      return 0;
  }
}

void PostQuitMessage(int code) {
  QCoreApplication::postEvent(&QuitRelay::Instance(), new QuitMessage(code));
}

void RightWindow(HWND window) {
  if (!window) return;
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const int x = area.right() + 1 - window->width();
  const int y = area.top() + std::max(0, (area.height() - window->height()) / 2);
  window->move(std::max(area.left(), x), y);
}

}  // namespace kv::ui
