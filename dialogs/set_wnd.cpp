#include "dialogs/set_wnd.h"

#include <algorithm>
#include <iterator>

#include "auth/stored_credentials.h"
#include "dialogs/dialog_style.h"
#include "dialogs/message_dialog.h"
#include "platform/java_discovery.h"
#include "platform/platform_profile.h"
#include "platform/profile_store.h"
#include "settings/settings_change.h"
#include "uilib/button.h"
#include "uilib/combo.h"
#include "uilib/edit.h"
#include "uilib/label.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

// The fields and check boxes that show the launcher's own values.
struct TextBinding {
  const char* control;
  std::string CSettings::*value;
};
constexpr TextBinding kTextFields[] = {
    {"Ed_UserName", &CSettings::userName},
    {"Ed_Pwd", &CSettings::password},
    {"Ed_GamePath", &CSettings::gamePath},
    {"Ed_AuthServer", &CSettings::authServer},
};
struct FlagBinding {
  const char* control;
  bool CSettings::*value;
};
constexpr FlagBinding kFlagFields[] = {
    {"CB_IsGenuine", &CSettings::isGenuine},
    {"CB_IsShowCmd", &CSettings::isShowCmd},
    {"CB_IsKeepLog", &CSettings::isKeepLog},
};

// The game settings but JavaPath and JavaVer (the Java combo and its runtimes give them), by
// their keys in the file.
struct GameBinding {
  const char* control;
  const char* key;
  bool isCheckBox;
};
constexpr GameBinding kGameFields[] = {
    {"Ed_JVMMemoryMin", "JVMMemoryMin", false},
    {"Ed_JVMMemoryMax", "JVMMemoryMax", false},
    {"Ed_LaunchParameters", "LaunchParameters", false},
    {"CB_IsAutoMallocMemory", "IsAutoMallocMemory", true},
};

// The account servers offered by name. The built-in service has no address of its own in the
// settings file; a custom one is typed in.
struct AuthServerPreset {
  const char* label;
  const char* address;  // nullptr: the player types it
};
constexpr AuthServerPreset kAuthServerPresets[] = {
    {"内置服务", ""},
    {"LittleSkin", "https://littleskin.cn/api/yggdrasil"},
    {"Ely.by", "https://authserver.ely.by/api/authlib-injector"},
    {msg::kMicrosoftAccount, kMicrosoftAuthServer},
    {"自定义", nullptr},
};
constexpr int kCustomAuthServer = static_cast<int>(std::size(kAuthServerPresets)) - 1;
constexpr int kMicrosoftAccountChoice = kCustomAuthServer - 1;

// The preset an address stands for: equal but for a trailing slash; custom for any other.
int AuthServerPresetOf(std::string address) {
  if (IsMicrosoftAccountChoice(address)) return kMicrosoftAccountChoice;
  while (!address.empty() && address.back() == '/') address.pop_back();
  for (int i = 0; i < kCustomAuthServer; ++i) {
    if (address == kAuthServerPresets[i].address) return i;
  }
  return kCustomAuthServer;
}

// The Java line says in this colour that the path cannot be used.
constexpr ARGB kProblemColor = 0xFFC0392B;

}  // namespace

CSetWnd::CSetWnd(SetWndServices services) : services_(std::move(services)) {}

bool CSetWnd::CreateFor(HWND owner) { return CreateCentredDialog(*this, owner, QStringLiteral("设置")); }

CControlUI* CSetWnd::Find(const char* name) { return paintManager_.FindControl(QString::fromLatin1(name)); }

bool CSetWnd::IsChecked(const char* name) {
  CControlUI* control = Find(name);
  auto* box = ui_cast<COptionUI>(control);
  return box && box->IsSelected();
}

void CSetWnd::InitControls() {
  CControlUI* combo = Find("CBox_JavaPath");
  javaCombo_ = ui_cast<CComboUI>(combo);
  javaVersion_ = ui_cast<CLabelUI>(Find("LB_JavaVer"));
  if (javaVersion_) versionColor_ = javaVersion_->GetTextColor();
  CControlUI* authCombo = Find("CBox_AuthServer");
  authServerCombo_ = ui_cast<CComboUI>(authCombo);
  CControlUI* authField = Find("Ed_AuthServer");
  authServerField_ = ui_cast<CEditUI>(authField);
  for (const AuthServerPreset& preset : kAuthServerPresets) {
    if (!authServerCombo_) break;
    auto* item = new CListLabelElementUI;
    item->SetText(QString::fromUtf8(preset.label));
    if (preset.address && *preset.address) item->SetToolTip(QString::fromUtf8(preset.address));
    authServerCombo_->Add(item);
  }
  CreateIndicator();
  FillJavaCombo();
}

void CSetWnd::FillJavaCombo() {
  std::vector<JavaRuntime> found;
  if (services_.java) ListJavaRuntimes(*services_.java, found);
  for (const JavaRuntime& runtime : found) AddJavaItem(runtime);
  // The configured runtime stays on offer even where discovery does not find it.
  const CSettings settings = LoadedSettings();
  const std::string configured = settings.game.javaPath.value_or("");
  const bool listed = std::any_of(runtimes_.begin(), runtimes_.end(),
                                  [&](const JavaRuntime& runtime) { return runtime.path == configured; });
  if (!configured.empty() && !listed) {
    configuredOnly_ = runtimes_.size();
    AddJavaItem({configured, settings.game.javaVer.value_or("")});
  }
}

void CSetWnd::AddJavaItem(const JavaRuntime& runtime) {
  runtimes_.push_back(runtime);
  if (!javaCombo_) return;
  auto* item = new CListLabelElementUI;
  item->SetText(QString::fromStdString(runtime.path));
  item->SetToolTip(QString::fromStdString(runtime.path));
  javaCombo_->Add(item);
}

void CSetWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    ShowSettings();
    return;
  }
  if (!msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (msg.sType == kNotifySelectChanged &&
      (name == u"CB_IsGenuine" || name == u"CB_IsAutoMallocMemory" || name == u"CB_IsShowCmd")) {
    ApplyEnablingRules();
    return;
  }
  if (msg.sType == kNotifyItemSelect && msg.pSender == javaCombo_) {
    JavaSelected(static_cast<int>(msg.wParam));
    return;
  }
  if (msg.sType == kNotifyItemSelect && msg.pSender == authServerCombo_) {
    AuthServerPresetChosen(static_cast<int>(msg.wParam));
    return;
  }
  if (msg.sType != kNotifyClick) return;
  if (name == u"Btn_JavaPathReset") BrowseForJava();
  else if (name == u"Btn_JavaTest") TestJava();
  else if (name == u"Btn_MsaSignOut") SignOutOfMicrosoft();
  else if (name == u"Btn_SelectGamePath") BrowseForGameFolder();
  else if (name == u"Btn_DefaultGamePath") {
    if (CControlUI* field = Find("Ed_GamePath")) field->SetText(QString::fromStdString(DefaultGameFolder(services_.settingsPath)));
  } else if (name == u"Btn_Ok") Confirm();
  else CDialogWindow::Notify(msg);
}

CSettings CSetWnd::LoadedSettings() const {
  CSettings settings(services_.settingsPath);
  if (services_.java) settings.Load(*services_.java);
  else settings.Load();
  return settings;
}

void CSetWnd::ShowSettings() {
  const CSettings settings = LoadedSettings();
  for (std::size_t i = 0; javaCombo_ && i < runtimes_.size(); ++i) {
    if (runtimes_[i].path == settings.game.javaPath) {
      javaCombo_->SelectItem(static_cast<int>(i));
      break;
    }
  }
  for (const TextBinding& field : kTextFields) {
    if (CControlUI* control = Find(field.control)) control->SetText(QString::fromStdString(settings.*field.value));
  }
  for (const FlagBinding& field : kFlagFields) {
    if (CControlUI* control = Find(field.control)) {
      control->SetAttribute(QStringLiteral("selected"), QString::fromUtf8(profile::FlagText(settings.*field.value)));
    }
  }
  for (const GameBinding& field : kGameFields) {
    CControlUI* control = Find(field.control);
    if (!control) continue;
    const QString value = QString::fromStdString(GameSettingTextOf(settings.game, field.key).value_or(""));
    if (field.isCheckBox) control->SetAttribute(QStringLiteral("selected"), value);
    else control->SetText(value);
  }
  if (CControlUI* memory = Find("LB_MachineMemory"); memory && services_.machineMemoryMb) {
    memory->SetText(QString::fromStdString(msg::MachineMemory(*services_.machineMemoryMb)));
  }
  if (authServerCombo_) authServerCombo_->SelectItem(AuthServerPresetOf(settings.authServer));
  AuthServerPresetChosen(authServerCombo_ ? authServerCombo_->GetCurSel() : kCustomAuthServer);
  if (CControlUI* serverName = Find("LB_AuthServerName")) {
    const QString name = QString::fromStdString(SignedInServerName(settings));
    serverName->SetText(name);
    serverName->SetToolTip(name);
  }
  ApplyEnablingRules();
}

void CSetWnd::AuthServerPresetChosen(int index) {
  if (!authServerField_ || index < 0 || index > kCustomAuthServer) return;
  const AuthServerPreset& preset = kAuthServerPresets[index];
  // A named server's address is shown as it is used; only a custom one is typed.
  authServerField_->SetReadOnly(preset.address != nullptr);
  if (preset.address) authServerField_->SetText(QString::fromUtf8(preset.address));
  ShowAccountKind(index == kMicrosoftAccountChoice);
}

void CSetWnd::ApplyEnablingRules() {
  const bool automatic = IsChecked("CB_IsAutoMallocMemory");
  for (const char* name : {"Ed_JVMMemoryMin", "Ed_JVMMemoryMax"}) {
    if (CControlUI* field = Find(name)) field->SetEnabled(!automatic);
  }
  const bool genuine = IsChecked("CB_IsGenuine");
  for (const char* name : {"Ed_Pwd", "CBox_AuthServer", "Ed_AuthServer"}) {
    if (CControlUI* field = Find(name)) field->SetEnabled(genuine);
  }
  // Only a log window that is shown can be kept open.
  if (CControlUI* keepLog = Find("CB_IsKeepLog")) keepLog->SetEnabled(IsChecked("CB_IsShowCmd"));
}

void CSetWnd::JavaSelected(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= runtimes_.size()) return;
  const JavaRuntime& runtime = runtimes_[static_cast<std::size_t>(index)];
  if (javaCombo_) javaCombo_->SetToolTip(QString::fromStdString(runtime.path));
  // Discovery lists only runtimes that are there; the one the settings name may be gone.
  if (configuredOnly_ == static_cast<std::size_t>(index)) {
    if (Status usable = CheckJavaProgramFile(runtime.path); !usable) {
      ShowJavaState(msg::JavaPathUnusable(usable.message()), true);
      return;
    }
  }
  ShowJavaState(runtime.version, false);
}

void CSetWnd::ShowJavaState(const std::string& text, bool problem) {
  if (!javaVersion_) return;
  javaVersion_->SetText(QString::fromStdString(text));
  javaVersion_->SetTextColor(problem ? kProblemColor : versionColor_);
}

const JavaRuntime* CSetWnd::ListedJava(const std::string& path) const {
  const auto listed = std::find_if(runtimes_.begin(), runtimes_.end(),
                                   [&](const JavaRuntime& runtime) { return runtime.path == path; });
  return listed == runtimes_.end() ? nullptr : &*listed;
}

std::optional<JavaRuntime> CSetWnd::ProbeInBackground(const std::string& program) {
  std::optional<JavaRuntime> runtime;
  RunInBackground([&, probe = services_.probeJava] {
    if (probe) runtime = probe(program);
  });
  return runtime;
}

void CSetWnd::BrowseForJava() {
  std::vector<std::string> chosen;
  if (!services_.pickers || !services_.pickers->BrowseForExecutable(GetHWND(), chosen) || chosen.empty()) return;
  const std::string program = chosen.front();
  const std::optional<JavaRuntime> runtime = ProbeInBackground(program);
  if (!runtime) {
    Tell(msg::NotAJavaRuntime(program));
    return;
  }
  auto listed = std::find_if(runtimes_.begin(), runtimes_.end(),
                             [&](const JavaRuntime& known) { return known.path == runtime->path; });
  if (listed == runtimes_.end()) {
    AddJavaItem(*runtime);
    listed = runtimes_.end() - 1;
  }
  // What was found, also for a runtime already listed without a version.
  listed->version = runtime->version;
  const int index = static_cast<int>(listed - runtimes_.begin());
  if (javaCombo_) javaCombo_->SelectItem(index);
  JavaSelected(index);
}

void CSetWnd::TestJava() {
  const std::string path = javaCombo_ ? javaCombo_->GetText().toStdString() : std::string();
  if (path.empty()) {
    Tell(msg::kJavaPathEmpty);
    return;
  }
  if (Status usable = CheckJavaProgramFile(path); !usable) {
    ShowJavaState(msg::JavaPathUnusable(usable.message()), true);
    Tell(msg::JavaPathUnusable(usable.message()) + ":\n" + path);
    return;
  }
  const std::optional<JavaRuntime> runtime = ProbeInBackground(path);
  if (!runtime) {
    ShowJavaState(msg::JavaPathUnusable(msg::kNotAJava), true);
    Tell(msg::NotAJavaRuntime(path));
    return;
  }
  // What was found, shown beside the path the player gave, which stays as it is.
  ShowJavaState(runtime->version, false);
  Tell(msg::JavaTested(path, runtime->version), MessageKind::Information);
}

void CSetWnd::BrowseForGameFolder() {
  std::string folder;
  if (!services_.pickers ||
      !services_.pickers->BrowseForFolder(QStringLiteral("选择游戏文件夹所在的位置"), folder, GetHWND())) {
    return;
  }
  if (CControlUI* field = Find("Ed_GamePath")) {
    field->SetText(QString::fromStdString(GameFolderInside(folder, PlatformProfile::Host().separator)));
  }
}

Result<CSettings> CSetWnd::FromControls() {
  CSettings settings = ReadSettings(services_.settingsPath);
  for (const TextBinding& field : kTextFields) {
    if (CControlUI* control = Find(field.control)) settings.*field.value = control->GetText().toStdString();
  }
  for (const FlagBinding& field : kFlagFields) {
    if (Find(field.control)) settings.*field.value = IsChecked(field.control);
  }
  for (const GameBinding& field : kGameFields) {
    CControlUI* control = Find(field.control);
    if (!control) continue;
    const std::string text =
        field.isCheckBox ? std::string(profile::FlagText(IsChecked(field.control))) : control->GetText().toStdString();
    if (Status set = SetGameSettingByKey(settings.game, field.key, text, false); !set) return std::move(set).failure();
  }
  settings.game.javaPath = javaCombo_ ? javaCombo_->GetText().toStdString() : std::string();
  settings.javaPathDiscovered = false;
  if (const JavaRuntime* listed = ListedJava(*settings.game.javaPath)) settings.game.javaVer = listed->version;
  else if (settings.game.javaPath->empty()) settings.game.javaVer = std::string();
  return settings;
}

void CSetWnd::Confirm() {
  Result<CSettings> fromControls = FromControls();
  if (!fromControls) {
    Tell(fromControls.message());
    return;
  }
  CSettings& settings = *fromControls;
  // A typed path is kept only when it leads to a Java; empty leaves the choice to the launcher.
  if (const std::string typedPath = settings.game.javaPath.value_or(""); !typedPath.empty() && !ListedJava(typedPath)) {
    const std::optional<JavaRuntime> typed = ProbeInBackground(typedPath);
    if (!typed) {
      Tell(msg::NotAJavaRuntime(typedPath));
      return;
    }
    settings.game.javaPath = typed->path;
    settings.game.javaVer = typed->version;
  }
  if (const std::string problem = CheckSettings(settings, services_.machineMemoryMb); !problem.empty()) {
    Tell(problem);
    return;
  }
  if (LeavesInstanceFoldersBehind(services_.settingsPath, ReadSettings(services_.settingsPath).gamePath, settings.gamePath) &&
      ShowMessageDialog(GetHWND(),
                        QString::fromUtf8(msg::kInstanceFoldersLeftBehind) + QChar(u'\n') +
                            QString::fromUtf8(msg::kContinueQuestion),
                        MessageKind::Question, kPromptCaption, kMessageOkCancel) != IDOK) {
    return;
  }
  const CSettings saved = SavedAccount();
  // A Microsoft account needs no name or password typed for it.
  if (ForgetAccountOfOldServer(settings, saved) && settings.isGenuine &&
      !IsMicrosoftAccountChoice(settings.authServer)) {
    Tell(msg::kAccountClearedForNewServer);
    return;
  }
  if (settings.isGenuine && IsMicrosoftAccountChoice(settings.authServer)) {
    if (!MicrosoftAccountReady(settings)) return;
  } else if (settings.isGenuine && !SignIn(settings)) {
    return;
  }
  if (!CreateGameFolder(settings.gamePath)) {
    Tell(msg::GameFolderNotCreated(settings.gamePath));
    return;
  }
  if (!settings.Save() ||
      (IsOtherAccountServer(saved.authServer, settings.authServer) &&
       !ForgetSignInOfOtherServers(services_.settingsPath, settings.authServer))) {
    Tell(msg::kSettingsNotWritten);
    return;
  }
  Close(IDOK);
}

CSettings CSetWnd::SavedAccount() const {
  CSettings settings(services_.settingsPath);
  settings.LoadAccount();
  return settings;
}

bool CSetWnd::ForgetAccountOfOldServer(CSettings& settings, const CSettings& saved) {
  // Once the cleared fields were shown for this server, what they hold now was typed for it.
  if (clearedFor_ && !IsOtherAccountServer(*clearedFor_, settings.authServer)) return false;
  // Fields that still show what the file holds were given for the old server.
  const GivenWithServer given{settings.userName != saved.userName, settings.password != saved.password};
  if (!ForgetAccountOfPreviousServer(settings, saved.authServer, given)) return false;
  clearedFor_ = settings.authServer;
  if (CControlUI* field = Find("Ed_UserName")) field->SetText(QString::fromStdString(settings.userName));
  if (CControlUI* field = Find("Ed_Pwd")) field->SetText(QString::fromStdString(settings.password));
  return true;
}

bool CSetWnd::SignIn(const CSettings& settings) {
  // The worker gets copies taken here; it never reads the dialog.
  const AccountLogin login{settings.userName, settings.password, settings.authServer, {}};
  Result<SignedIn> result = Fail(FailureKind::Other, {});
  RunInBackground([&, settingsPath = services_.settingsPath, account = services_.account] {
    result = SignInWithCredentials(login, settingsPath, account);
  });
  if (!result) Tell(result.message());
  return result.ok();
}

void CSetWnd::Tell(const std::string& text, MessageKind kind) {
  ShowMessageDialog(GetHWND(), QString::fromStdString(text), kind, kPromptCaption, kMessageOk);
}

}  // namespace kv
