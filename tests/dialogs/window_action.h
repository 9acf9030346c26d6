#pragma once

#include <QPointer>
#include <functional>

#include "tests/uilib/window_probes.h"

namespace kv::test {

// Acts on every window of a class as it appears (a modal dialog that the code under test
// opens and waits in): `act` runs once per window, from the event loop the dialog runs, as soon
// as `ready` says so. (Waiting inside `act` would not do for a window busy in an event loop of
// its own: that loop can only end after `act` has returned.)
class WindowAction {
 public:
  using Ready = std::function<bool(ui::CWindowWnd&)>;
  WindowAction(const char* windowClass, std::function<void(ui::CWindowWnd&)> act, Ready ready = {});
  int Count() const { return count_; }

 private:
  int count_ = 0;
  QPointer<QWidget> handled_;
  Watcher watcher_;
};

}  // namespace kv::test
