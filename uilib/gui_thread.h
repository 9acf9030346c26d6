#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <type_traits>
#include <utility>

// Widgets live on the GUI thread. A worker that needs a window (a modal dialog, say) runs the
// code that creates and shows it through RunOnGuiThread and waits for its result.
namespace kv::ui {

inline bool IsGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return !app || QThread::currentThread() == app->thread();
}

// Runs `work` on the GUI thread and returns its result; the calling thread waits. On the GUI
// thread itself it simply runs it.
template <typename Work>
auto RunOnGuiThread(Work&& work) -> decltype(work()) {
  using Result = decltype(work());
  if (IsGuiThread()) return work();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::forward<Work>(work), Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { result = work(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

}  // namespace kv::ui
