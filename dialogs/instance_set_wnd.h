#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/file_pickers.h"
#include "dialogs/worker_dialog.h"
#include "platform/java_source.h"
#include "platform/machine_memory.h"
#include "settings/game_settings.h"
#include "util/result.h"

namespace kv::ui {
class CComboUI;
class CControlUI;
}  // namespace kv::ui

// The settings of one instance: its Java (a runtime or the automatic choice), memory, Java
// arguments and game window size, each group with a switch that lets it follow the launcher's
// settings. A group that follows shows the launcher's values greyed and keeps no value of the
// instance's own. OK checks the values as korvane-cli set --instance does and saves them in the
// instance's section; on a refusal the dialog says why and stays open with the edits intact.
namespace kv {

struct InstanceSetWndServices {
  std::string settingsPath;
  std::string instanceName;
  const JavaRuntimeSource* java = nullptr;
  FilePickers* pickers = nullptr;
  // Whether a program is a Java runtime, and its version; slow, run off the GUI thread.
  std::function<std::optional<JavaRuntime>(const std::string& program)> probeJava = ProbeJavaRuntime;
  // The machine's memory in MB, shown beside the memory fields and the most they may hold.
  std::optional<int> machineMemoryMb = PhysicalMemoryMb();
};

class CInstanceSetWnd : public CWorkerDialog {
 public:
  explicit CInstanceSetWnd(InstanceSetWndServices services);

  // Creates the dialog (centred on `owner`) for ShowModal: 1 saved, 2 cancelled, 8 closed.
  bool CreateFor(ui::HWND owner);

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvInstanceSetWnd"); }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\InstanceSet_dlg.xml"); }
  QString ConfirmButtonName() const override { return QStringLiteral("Btn_Ok"); }
  QString CancelButtonName() const override { return QStringLiteral("Btn_Cancel"); }
  void InitControls() override;

 private:
  // "实例设置 - " and the instance's name.
  QString Title() const;
  // Shows the values of the group (by its index) from `values`.
  void ShowGroup(std::size_t group, const GameSettings& values);
  void ShowJava(const std::string& path, const std::string& version);
  // Adds a combo item for the runtime; its index.
  int AddJavaItem(const JavaRuntime& runtime);
  void FollowSwitched(std::size_t group);
  void ApplyEnablingRules();
  void JavaSelected(int index);
  void BrowseForJava();
  // The instance's own settings as the controls state them; Invalid with the reason.
  Result<GameSettings> FromControls();
  void Confirm();
  void Tell(const std::string& text);
  ui::CControlUI* Find(const char* name);
  bool IsChecked(const char* name);

  InstanceSetWndServices services_;
  // The launcher's game settings, as its file states them.
  GameSettings launcher_;
  // The Java runtimes of the combo, item by item; the first, with an empty path, is the
  // automatic choice.
  std::vector<JavaRuntime> runtimes_;
  ui::CComboUI* javaCombo_ = nullptr;
};

}  // namespace kv
