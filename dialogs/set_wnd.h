#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "auth/sign_in.h"
#include "dialogs/file_pickers.h"
#include "dialogs/worker_dialog.h"
#include "platform/java_source.h"
#include "platform/machine_memory.h"
#include "settings/settings.h"
#include "uilib/ui_types.h"
#include "util/message_kinds.h"

namespace kv::ui {
class CComboUI;
class CEditUI;
class CControlUI;
class CLabelUI;
}  // namespace kv::ui

// The settings dialog: the player's name, password, genuine-account switch and account server
// (the built-in one, a named authlib-injector server or a custom address), the Java
// runtime (found ones, browsed or typed ones; 测试 says what the path holds, and a configured
// one that is gone or cannot run is marked), the game folder, the heap sizes, extra Java arguments and
// the console switch; a Microsoft account instead of a server, without a password, with a
// sign-out button. OK checks every value (the same checks as korvane-cli set), asks before a
// new game folder leaves the instance folders behind, asks a genuine account for the name and
// password of a newly chosen account server (those of the old one are never sent there), signs
// it in behind the indicator, creates the game folder and saves everything at once; on any
// refusal the dialog says why and stays open with the edits intact.
namespace kv {

struct SetWndServices {
  std::string settingsPath;
  const JavaRuntimeSource* java = nullptr;
  AccountTransport account;
  FilePickers* pickers = nullptr;
  // Whether a program is a Java runtime, and its version; slow, run off the GUI thread.
  std::function<std::optional<JavaRuntime>(const std::string& program)> probeJava = ProbeJavaRuntime;
  // The machine's memory in MB, shown beside the memory fields and the most they may hold.
  std::optional<int> machineMemoryMb = PhysicalMemoryMb();
};

class CSetWnd : public CWorkerDialog {
 public:
  explicit CSetWnd(SetWndServices services);

  // Creates the dialog (centred on `owner`) for ShowModal: 1 saved, 2 cancelled, 8 closed.
  bool CreateFor(ui::HWND owner);
  // The runtimes the Java combo offers, item by item.
  const std::vector<JavaRuntime>& JavaRuntimes() const { return runtimes_; }

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvSetWnd"); }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\SetWnd_dlg.xml"); }
  QString ConfirmButtonName() const override { return QStringLiteral("Btn_Ok"); }
  QString CancelButtonName() const override { return QStringLiteral("Btn_Cancel"); }
  void InitControls() override;

 private:
  // The combo lists what discovery finds and the configured runtime when discovery does not
  // find it.
  void FillJavaCombo();
  void AddJavaItem(const JavaRuntime& runtime);
  // The settings file's values (a Java runtime found when none is set).
  CSettings LoadedSettings() const;
  void ShowSettings();
  void ApplyEnablingRules();
  void JavaSelected(int index);
  // The line under the path: the Java's version, or (`problem`) why it cannot be used.
  void ShowJavaState(const std::string& text, bool problem);
  // The runtime of the combo's list with that path.
  const JavaRuntime* ListedJava(const std::string& path) const;
  // Whether `program` is a Java runtime, asked off the GUI thread behind the indicator.
  std::optional<JavaRuntime> ProbeInBackground(const std::string& program);
  // A named account server fills in its address; a custom one lets the player type it.
  void AuthServerPresetChosen(int index);
  void BrowseForJava();
  // Checks the Java at the path in the combo and says what it is; the path stays.
  void TestJava();
  void BrowseForGameFolder();
  Result<CSettings> FromControls();
  void Confirm();
  // The account as the settings file holds it.
  CSettings SavedAccount() const;
  // With another account server chosen than `saved` has, clears (in `settings` and in the
  // fields) the name and password still shown from the file, once per server; true when it
  // did.
  bool ForgetAccountOfOldServer(CSettings& settings, const CSettings& saved);
  // Signs the account in behind the indicator; false (and said why) when it failed.
  bool SignIn(const CSettings& settings);
  // A Microsoft account has neither password nor address; its sign-out button shows while one
  // is kept.
  void ShowAccountKind(bool microsoft);
  std::string MicrosoftAccountFile() const;
  // Whether the Microsoft account can be played; false (and said why) when it cannot.
  bool MicrosoftAccountReady(const CSettings& settings);
  // Deletes the kept Microsoft account, as korvane-cli logout does.
  void SignOutOfMicrosoft();
  void Tell(const std::string& text, MessageKind kind = MessageKind::Warning);
  ui::CControlUI* Find(const char* name);
  bool IsChecked(const char* name);

  SetWndServices services_;
  std::vector<JavaRuntime> runtimes_;
  ui::CComboUI* javaCombo_ = nullptr;
  ui::CLabelUI* javaVersion_ = nullptr;
  ui::ARGB versionColor_ = 0;
  // The item of the configured runtime that discovery did not find, if there is one.
  std::optional<std::size_t> configuredOnly_;
  ui::CComboUI* authServerCombo_ = nullptr;
  ui::CEditUI* authServerField_ = nullptr;
  // The account server for which the name and password fields were last cleared.
  std::optional<std::string> clearedFor_;
};

}  // namespace kv
