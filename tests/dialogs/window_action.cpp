#include "tests/dialogs/window_action.h"

#include <QWidget>

namespace kv::test {

using namespace ui;

WindowAction::WindowAction(const char* windowClass, std::function<void(CWindowWnd&)> act, Ready ready)
    : watcher_([this, windowClass = QString::fromLatin1(windowClass), act = std::move(act), ready = std::move(ready)] {
        CWindowWnd* window = FindOpenWindow(windowClass);
        if (!window || window->GetHWND() == handled_ || (ready && !ready(*window))) return;
        // Marked before acting: the action may run event loops, in which this check runs again.
        handled_ = window->GetHWND();
        ++count_;
        act(*window);
      }) {}

}  // namespace kv::test
