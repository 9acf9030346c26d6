#include "tests/frame/frame_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <cstdlib>

#include "platform/profile_store.h"
#include "settings/instance_commands.h"
#include "tests/gui/gui_test_support.h"
#include "uilib/container.h"
#include "uilib/paint_manager.h"

namespace kv::test {

using namespace ui;

const std::string& DemoMirrorRoot() {
  static const std::string root = KORVANE_DEMO_MIRROR;
  return root;
}

FrameHarness::FrameHarness() {
  ::setenv("KORVANE_HOME", home_.Path().c_str(), 1);
  ::setenv("KORVANE_STATS_URL", "", 1);
  services_.settingsPath = SettingsPath();
  services_.launch = LaunchServices::Network();
  services_.java = &HostJavaSource();
  services_.updaterFolder = home_.Path();
  // No package tool unless a test provides one.
  services_.packageToolFolder = home_.Path();
  services_.sendOpenEvent = false;
}

FrameHarness::~FrameHarness() { Close(); }

void FrameHarness::AddInstance(const std::string& name, const std::string& version) {
  ASSERT_EQ(kv::AddInstance(SettingsPath(), home_ / ".minecraft/", name, version).status, InstanceCommandStatus::Done);
}

void FrameHarness::SetSetting(const std::string& key, const std::string& value) {
  profile::WriteString(SettingsPath(), "KvCfg", key, value);
}

CFrameWnd& FrameHarness::Open() {
  frame_ = std::make_unique<CFrameWnd>(services_);
  EXPECT_NE(frame_->Create(nullptr, QStringLiteral("KorvaneFrame"), 0x10CF0000, WS_EX_WINDOWEDGE), nullptr);
  // The tiles are filled once the window has painted; the add tile is always there then.
  EXPECT_TRUE(PumpUntil([this] { return frame_->InstanceTiles() && frame_->InstanceTiles()->GetCount() > 0; }));
  Pump(20);
  return *frame_;
}

void FrameHarness::Close() {
  if (!frame_) return;
  frame_->DestroyWindow();
  frame_.reset();
  Pump(10);
  ForgetQuit();
}

void ForgetQuit() {
  // A quit outside the application's own loop marks the thread as quitting, and every event
  // loop started afterwards would return at once. The application's loop clears the mark when
  // it ends, so one empty run of it does.
  QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

CControlUI* FrameHarness::Find(const char* name) {
  return frame_->GetPaintManager().FindControl(QString::fromLatin1(name));
}

void FrameHarness::Click(const char* name) {
  CControlUI* control = Find(name);
  ASSERT_NE(control, nullptr) << name;
  test::Click(*frame_, control);
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

MessageAnswerer::MessageAnswerer(const char* button)
    : watcher_([this, button, answered = QPointer<QWidget>()]() mutable {
        CWindowWnd* dialog = FindOpenWindow(QStringLiteral("KvMessageDialog"));
        if (!dialog || dialog->GetHWND() == answered) return;
        answered = dialog->GetHWND();
        texts_.push_back(TextOf(dialog, "text"));
        captions_.push_back(TextOf(dialog, "caption"));
        ClickControlOf(dialog, button);
      }) {}

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
