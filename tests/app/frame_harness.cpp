#include "tests/app/frame_harness.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <cstdlib>

#include "app/instance_tiles.h"
#include "app/program_start.h"
#include "game/game_layout.h"
#include "platform/profile_store.h"
#include "settings/instance_commands.h"
#include "tests/support/fixtures.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/container.h"
#include "uilib/paint_manager.h"

namespace kv::test {

using namespace ui;

const std::string& DemoMirrorRoot() {
  static const std::string root = KORVANE_DEMO_MIRROR;
  return root;
}

FrameHarness::FrameHarness() {
  environment_.Set("KORVANE_HOME", home_.Path());
  environment_.Set("KORVANE_STATS_URL", "");
  services_.settingsPath = SettingsPath();
  services_.launch = LaunchServices::Network();
  services_.java = &HostJavaSource();
  services_.updaterFolder = home_.Path();
  // No package tool unless a test provides one.
  services_.packageToolFolder = home_.Path();
  services_.sendOpenEvent = false;
  services_.refreshVersionList = [fetches = versionListFetches_](const std::string& gamePath) {
    ++*fetches;
    WriteFile(VersionListPath(gamePath), ReadFixture("versions/modern/version_manifest_v2.json"));
    return true;
  };
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
  EXPECT_TRUE(CreateLauncherWindow(*frame_));
  // The tiles are filled once the window has painted; the add tile is always there then.
  EXPECT_TRUE(PumpUntil([this] { return frame_->InstanceTiles() && frame_->InstanceTiles()->GetCount() > 0; }));
  Pump(20);
  return *frame_;
}

void FrameHarness::Close() {
  if (frame_) frame_->DestroyWindow();
  DeleteFrame();
}

void FrameHarness::DeleteFrame() {
  if (!frame_) return;
  frame_.reset();
  Pump(10);
  ForgetQuit();
}


CControlUI* FrameHarness::Find(const char* name) {
  CControlUI* root = frame_->GetPaintManager().GetRoot();
  QString key = QString::fromLatin1(name);
  const FindControlProc notATile = [](CControlUI* control, void* data) -> CControlUI* {
    return control->GetName() == *static_cast<const QString*>(data) && !AsInstanceTile(control) ? control : nullptr;
  };
  return root ? root->FindControl(notATile, &key, UIFIND_ALL) : nullptr;
}

void FrameHarness::Click(const char* name) {
  CControlUI* control = Find(name);
  ASSERT_NE(control, nullptr) << name;
  test::Click(*frame_, control);
}

}  // namespace kv::test
