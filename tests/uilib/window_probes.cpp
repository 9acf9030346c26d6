#include "tests/uilib/window_probes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include "tests/uilib/gui_test_support.h"
#include "uilib/paint_manager.h"

namespace kv::test {

using namespace ui;

void ForgetQuit() {
  // A quit outside the application's own loop marks the thread as quitting, and every event
  // loop started afterwards would return at once. The application's loop clears the mark when
  // it ends, so one empty run of it does.
  QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

CWindowWnd* FindOpenWindow(const QString& windowClass) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->objectName() == windowClass) {
      if (CWindowWnd* window = CWindowWnd::FromHandle(widget)) return window;
    }
  }
  return nullptr;
}

CControlUI* ControlOf(CWindowWnd* window, const char* name) {
  if (!window || !window->GetHWND()) return nullptr;
  CPaintManagerUI* manager = CPaintManagerUI::ForWindow(window->GetHWND());
  return manager ? manager->FindControl(QString::fromLatin1(name)) : nullptr;
}

QString TextOf(CWindowWnd* window, const char* name) {
  CControlUI* control = ControlOf(window, name);
  return control ? control->GetText() : QString();
}

void ClickControlOf(CWindowWnd* window, const char* name) {
  CControlUI* control = ControlOf(window, name);
  ASSERT_NE(control, nullptr) << name;
  ClickAt(window->GetHWND(), CenterOf(control));
}

Watcher::Watcher(std::function<void()> check) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, timer, std::move(check));
  timer->start(5);
  timer_.reset(timer);
}

Watcher::~Watcher() = default;

namespace {

class VisibilityFilter : public QObject {
 public:
  VisibilityFilter(int& hidden, int& shown) : hidden_(hidden), shown_(shown) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide) ++hidden_;
    if (event->type() == QEvent::Show) ++shown_;
    return false;
  }

 private:
  int& hidden_;
  int& shown_;
};

}  // namespace

VisibilityLog::VisibilityLog(QWidget* window) : filter_(std::make_unique<VisibilityFilter>(hidden_, shown_)) {
  window->installEventFilter(filter_.get());
}

VisibilityLog::~VisibilityLog() = default;

}  // namespace kv::test
