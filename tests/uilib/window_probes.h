#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "uilib/control.h"
#include "uilib/window.h"

// Finding, reading and pressing the windows that a test has made appear, and watching them.
namespace kv::test {

// Lets event loops run again after the program was told to quit (the tests go on).
void ForgetQuit();

// A visible window of the given window class, or null.
ui::CWindowWnd* FindOpenWindow(const QString& windowClass);
// A control of a window by name (null when either is missing).
ui::CControlUI* ControlOf(ui::CWindowWnd* window, const char* name);
QString TextOf(ui::CWindowWnd* window, const char* name);
// Presses a control through the window's real mouse path.
void ClickControlOf(ui::CWindowWnd* window, const char* name);

// Calls `check` every few milliseconds while events are handled (nested loops included),
// until the object goes.
class Watcher {
 public:
  explicit Watcher(std::function<void()> check);
  ~Watcher();

 private:
  std::unique_ptr<QObject> timer_;
};

// Counts how often a window is hidden and shown.
class VisibilityLog {
 public:
  explicit VisibilityLog(QWidget* window);
  ~VisibilityLog();
  int Hidden() const { return hidden_; }
  int Shown() const { return shown_; }

 private:
  int hidden_ = 0;
  int shown_ = 0;
  std::unique_ptr<QObject> filter_;
};

}  // namespace kv::test
