#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_wnd.h"
#include "platform/java_source.h"
#include "tests/support/temp_folder.h"
#include "uilib/control.h"

// What the launcher window tests share: a launcher folder of their own with instances in its
// settings file, the demo version of tools/demo served by korvane-mirror, the launcher window
// opened on that folder, and ways to find and press the windows it opens.
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

  // What the window will use; change before Open().
  FrameServices& Services() { return services_; }

  // Opens the window and waits until it has shown its tiles.
  CFrameWnd& Open();
  CFrameWnd& Frame() { return *frame_; }
  void Close();
  // Deletes the window object with its window still up, as the program's entry point does.
  void DeleteFrame();

  ui::CControlUI* Find(const char* name);
  void Click(const char* name);

 private:
  TempFolder home_;
  FrameServices services_;
  std::unique_ptr<CFrameWnd> frame_;
};

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

// Answers the next message dialog with `button` ("okbtn", "cancelbtn") and keeps its text.
class MessageAnswerer {
 public:
  explicit MessageAnswerer(const char* button);
  const std::vector<QString>& Texts() const { return texts_; }
  const std::vector<QString>& Captions() const { return captions_; }

 private:
  std::vector<QString> texts_;
  std::vector<QString> captions_;
  Watcher watcher_;
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
