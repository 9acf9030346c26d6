#pragma once

#include <QIcon>
#include <QString>
#include <concepts>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

#include "uilib/ui_types.h"

class QEventLoop;
class QObject;
class QWidget;

// CWindowWnd: one frameless native window driven by messages. Qt's input events become the
// classic window messages and go through HandleMessage; PostMessage, PostTask and SendMessage
// work from any thread; ShowModal runs a nested loop until Close(code) and returns the code.
namespace kv::ui {

using HWND = QWidget*;
class NativeWindow;

class CWindowWnd {
 public:
  CWindowWnd();
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const;
  operator HWND() const { return GetHWND(); }
  // The window object behind a window handle made by Create; null for anything else.
  static CWindowWnd* FromHandle(HWND hWnd);

  // Creates the window (hidden unless `style` has WS_VISIBLE) and sends it WM_CREATE. With a
  // parent the window belongs to it: it stays above it and is modal to it in ShowModal.
  // CW_USEDEFAULT leaves position or size to the system. Null when WM_CREATE answered -1.
  HWND Create(HWND parent, const QString& name, UINT style, UINT exStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT);
  HWND Create(HWND parent, const QString& name, UINT style, UINT exStyle, const UiRect& rc);
  void DestroyWindow();

  void ShowWindow(bool show = true, bool takeFocus = true);
  // Shows the window, blocks input to its owner, runs a nested event loop until the window is
  // destroyed and returns the code of the Close that ended it (0 when closed otherwise).
  int ShowModal();
  // Posts WM_CLOSE with `ret`, so it is safe inside a notification handler.
  void Close(int ret = IDOK);
  void CenterWindow();
  void ResizeClient(int cx = -1, int cy = -1);
  void SetTopMost(bool topMost);
  void SetIcon(const QIcon& icon);
  // An image of the skin as the window icon.
  void SetIcon(const QString& skinImage);
  // Cuts the window to a rounded rectangle with corner ellipses of `corner` (0: square).
  void SetRoundCorner(QSize corner);

  // Queues a message for the window's thread; false when the window does not exist.
  bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Queues `task` (any callable, move-only ones included) for the window's thread: the way to
  // hand a window anything more than two integers. The payload travels inside the task by
  // value, never as a pointer in a message, so it is neither leaked nor left dangling however
  // the race between the poster and the window ends:
  // - the task runs on the window's thread if, and only if, the window still exists when the
  //   task comes up, so it may use the window object and its controls;
  // - a window that is destroyed first (DestroyWindow, or the object deleted) drops its queued
  //   tasks: each is destroyed, with everything it holds, without running;
  // - when the window does not exist at posting time the task is destroyed at once, on the
  //   calling thread, and the answer is false.
  // Tasks and messages share one queue: what one thread posts to a window arrives in the
  // order it was posted.
  template <typename Task>
    requires std::invocable<std::decay_t<Task>&> && std::constructible_from<std::decay_t<Task>, Task&&>
  bool PostTask(Task&& task) {
    return PostQueuedTask(std::make_unique<QueuedTaskOf<std::decay_t<Task>>>(std::forward<Task>(task)));
  }
  // Handles a message now; from another thread it waits until the GUI thread has handled it.
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  bool IsMaximized() const;
  bool IsMinimized() const;

  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

 protected:
  virtual QString GetWindowClass() const = 0;
  virtual QString GetSuperClassName() const { return {}; }
  virtual UINT GetClassStyle() const { return 0; }
  virtual void OnFinalMessage(HWND hWnd);
  // Text dragged onto the window (a link from a web page): whether the window takes it, asked
  // while it is dragged over the window, and the text once it is dropped there. None is taken
  // unless a window says so.
  virtual bool AcceptsDroppedText(const QString& text) const;
  virtual void OnTextDropped(const QString& text);

  UINT GetStyle() const { return style_; }

 private:
  friend class NativeWindow;
  friend class WindowMailbox;

  struct QueuedTask {
    virtual ~QueuedTask() = default;
    virtual void Run() = 0;
  };
  template <typename Callable>
  struct QueuedTaskOf final : QueuedTask {
    template <typename Arg>
    explicit QueuedTaskOf(Arg&& arg) : callable(std::forward<Arg>(arg)) {}
    void Run() override { callable(); }
    Callable callable;
  };
  class TaskEvent;
  bool PostQueuedTask(std::unique_ptr<QueuedTask> task);
  void ReceiveTask(QueuedTask& task);
  // The widget is going away without DestroyWindow (its parent died).
  void WidgetDestroyed();
  void ReceivePosted(UINT msg, WPARAM wParam, LPARAM lParam);
  void FinishDestroy(HWND old);

  mutable std::mutex mutex_;  // guards widget_ for other threads
  NativeWindow* widget_ = nullptr;
  std::unique_ptr<QObject> mailbox_;
  QEventLoop* modalLoop_ = nullptr;
  int modalResult_ = 0;
  UINT style_ = 0;
  UINT exStyle_ = 0;
};

// Ends every running modal loop (the outermost returns `code`), like a quit message.
void PostQuitMessage(int code = 0);

// Places a window at the right edge of its screen's work area, vertically centred.
void RightWindow(HWND window);

}  // namespace kv::ui
