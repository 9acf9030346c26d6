#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_wnd.h"
#include "platform/java_source.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/window_probes.h"
#include "uilib/control.h"

// What the launcher window tests share: a launcher folder of their own with instances in its
// settings file, the demo version of tools/demo served by korvane-mirror, the official version
// list of the fixtures as what the add-instance dialog fetches, and the launcher window opened
// on that folder.
namespace kv::test {

// The demo version in the mirror layout, made when the tests were built.
const std::string& DemoMirrorRoot();

// A Java source that finds nothing.
class NoJavaSource : public JavaRuntimeSource {
 public:
  std::vector<JavaRuntime> Runtimes() const override { return {}; }
};

// A launcher folder (KORVANE_HOME for the time of the test) and a launcher window on it.
class FrameHarness {
 public:
  FrameHarness();
  ~FrameHarness();

  const TempFolder& Home() const { return home_; }
  std::string SettingsPath() const { return home_ / "KvCfg.ini"; }
  void AddInstance(const std::string& name, const std::string& version);
  void SetSetting(const std::string& key, const std::string& value);
  // How often the add-instance dialog fetched the version list.
  int VersionListFetches() const { return *versionListFetches_; }

  // What the window will use; change before Open().
  FrameServices& Services() { return services_; }

  // Opens the window and waits until it has shown its tiles.
  CFrameWnd& Open();
  CFrameWnd& Frame() { return *frame_; }
  void Close();
  // Deletes the window object with its window still up, as the program's entry point does.
  void DeleteFrame();

  // A control of the window by name; instance tiles, which carry the instances' names, are
  // passed over.
  ui::CControlUI* Find(const char* name);
  void Click(const char* name);

 private:
  TempFolder home_;
  TestEnvironment environment_;
  std::shared_ptr<int> versionListFetches_ = std::make_shared<int>(0);
  FrameServices services_;
  std::unique_ptr<CFrameWnd> frame_;
};

}  // namespace kv::test
