#include "dialogs/instance_set_wnd.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "dialogs/dialog_style.h"
#include "dialogs/message_dialog.h"
#include "platform/java_discovery.h"
#include "platform/profile_store.h"
#include "settings/instance_list.h"
#include "settings/instance_settings.h"
#include "settings/settings.h"
#include "settings/settings_change.h"
#include "uilib/button.h"
#include "uilib/combo.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

enum class ControlKind { Java, Text, Flag };

// The control that shows each game setting, by its key in the file.
struct Binding {
  const char* key;
  const char* control;
  ControlKind kind;
};
constexpr Binding kBindings[] = {
    {"JavaPath", "CBox_JavaPath", ControlKind::Java},
    {"IsAutoMallocMemory", "CB_IsAutoMallocMemory", ControlKind::Flag},
    {"JVMMemoryMin", "Ed_JVMMemoryMin", ControlKind::Text},
    {"JVMMemoryMax", "Ed_JVMMemoryMax", ControlKind::Text},
    {"LaunchParameters", "Ed_LaunchParameters", ControlKind::Text},
    {"WindowWidth", "Ed_WindowWidth", ControlKind::Text},
    {"WindowHeight", "Ed_WindowHeight", ControlKind::Text},
};

// The settings that follow the launcher together, each group under its own switch.
struct FollowGroup {
  const char* followSwitch;
  // The range of kBindings the group holds.
  std::size_t first;
  std::size_t count;
  // A control of the group besides those of its settings.
  const char* extraControl;
};
constexpr FollowGroup kGroups[] = {
    {"CB_FollowJava", 0, 1, "Btn_JavaPathReset"},
    {"CB_FollowMemory", 1, 3, nullptr},
    {"CB_FollowLaunchParameters", 4, 1, nullptr},
    {"CB_FollowWindowSize", 5, 2, nullptr},
};

const QString kAutomaticJava = QStringLiteral("自动选择（适合游戏版本的 Java）");

}  // namespace

CInstanceSetWnd::CInstanceSetWnd(InstanceSetWndServices services) : services_(std::move(services)) {}

QString CInstanceSetWnd::Title() const {
  return QStringLiteral("实例设置 - ") + QString::fromStdString(services_.instanceName);
}

bool CInstanceSetWnd::CreateFor(HWND owner) { return CreateCentredDialog(*this, owner, Title()); }

CControlUI* CInstanceSetWnd::Find(const char* name) { return paintManager_.FindControl(QString::fromLatin1(name)); }

bool CInstanceSetWnd::IsChecked(const char* name) {
  auto* box = ui_cast<COptionUI>(Find(name));
  return box && box->IsSelected();
}

void CInstanceSetWnd::InitControls() {
  javaCombo_ = ui_cast<CComboUI>(Find("CBox_JavaPath"));
  if (CControlUI* title = Find("LB_WndText")) {
    title->SetText(Title());
    title->SetToolTip(Title());
  }
  CreateIndicator();
  launcher_ = ReadSettings(services_.settingsPath).game;
  AddJavaItem({});
  std::vector<JavaRuntime> found;
  if (services_.java) ListJavaRuntimes(*services_.java, found);
  for (const JavaRuntime& runtime : found) AddJavaItem(runtime);
}

int CInstanceSetWnd::AddJavaItem(const JavaRuntime& runtime) {
  runtimes_.push_back(runtime);
  if (javaCombo_) {
    auto* item = new CListLabelElementUI;
    item->SetText(runtime.path.empty() ? kAutomaticJava : QString::fromStdString(runtime.path));
    item->SetToolTip(QString::fromStdString(runtime.path));
    javaCombo_->Add(item);
  }
  return static_cast<int>(runtimes_.size()) - 1;
}

void CInstanceSetWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    const GameSettings own = OwnGameSettings(services_.settingsPath, services_.instanceName);
    const GameSettings inForce = GameSettingsInForce(own, launcher_);
    for (std::size_t group = 0; group < std::size(kGroups); ++group) {
      const FollowGroup& follow = kGroups[group];
      bool hasOwn = false;
      for (std::size_t i = follow.first; i < follow.first + follow.count; ++i) {
        hasOwn = hasOwn || GameSettingTextOf(own, kBindings[i].key).has_value();
      }
      if (CControlUI* control = Find(follow.followSwitch)) {
        control->SetAttribute(QStringLiteral("selected"), QString::fromUtf8(profile::FlagText(!hasOwn)));
      }
      ShowGroup(group, inForce);
    }
    if (CControlUI* memory = Find("LB_MachineMemory"); memory && services_.machineMemoryMb) {
      memory->SetText(QString::fromStdString(msg::MachineMemory(*services_.machineMemoryMb)));
    }
    ApplyEnablingRules();
    return;
  }
  if (!msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (msg.sType == kNotifySelectChanged) {
    for (std::size_t group = 0; group < std::size(kGroups); ++group) {
      if (name == QLatin1String(kGroups[group].followSwitch)) FollowSwitched(group);
    }
    ApplyEnablingRules();
    return;
  }
  if (msg.sType == kNotifyItemSelect && msg.pSender == javaCombo_) {
    JavaSelected(static_cast<int>(msg.wParam));
    return;
  }
  if (msg.sType != kNotifyClick) return;
  if (name == u"Btn_JavaPathReset") BrowseForJava();
  else if (name == u"Btn_Ok") Confirm();
  else CDialogWindow::Notify(msg);
}

void CInstanceSetWnd::ShowGroup(std::size_t group, const GameSettings& values) {
  const FollowGroup& follow = kGroups[group];
  for (std::size_t i = follow.first; i < follow.first + follow.count; ++i) {
    const Binding& binding = kBindings[i];
    const QString text = QString::fromStdString(GameSettingTextOf(values, binding.key).value_or(""));
    CControlUI* control = Find(binding.control);
    if (binding.kind == ControlKind::Java) ShowJava(values.javaPath.value_or(""), values.javaVer.value_or(""));
    else if (!control) continue;
    else if (binding.kind == ControlKind::Flag) control->SetAttribute(QStringLiteral("selected"), text);
    else control->SetText(text);
  }
}

void CInstanceSetWnd::ShowJava(const std::string& path, const std::string& version) {
  auto listed = std::find_if(runtimes_.begin(), runtimes_.end(),
                             [&](const JavaRuntime& runtime) { return runtime.path == path; });
  // A runtime named in the settings stays on offer even where discovery does not find it.
  const int index = listed == runtimes_.end() ? AddJavaItem({path, version}) : static_cast<int>(listed - runtimes_.begin());
  if (javaCombo_) javaCombo_->SelectItem(index);
  JavaSelected(index);
}

void CInstanceSetWnd::FollowSwitched(std::size_t group) {
  // A group that follows shows what it follows; one that stops following starts from it.
  if (IsChecked(kGroups[group].followSwitch)) ShowGroup(group, launcher_);
}

void CInstanceSetWnd::ApplyEnablingRules() {
  for (const FollowGroup& group : kGroups) {
    const bool own = !IsChecked(group.followSwitch);
    for (std::size_t i = group.first; i < group.first + group.count; ++i) {
      if (CControlUI* control = Find(kBindings[i].control)) control->SetEnabled(own);
    }
    if (group.extraControl) {
      if (CControlUI* control = Find(group.extraControl)) control->SetEnabled(own);
    }
  }
  if (IsChecked("CB_IsAutoMallocMemory")) {
    for (const char* name : {"Ed_JVMMemoryMin", "Ed_JVMMemoryMax"}) {
      if (CControlUI* field = Find(name)) field->SetEnabled(false);
    }
  }
}

void CInstanceSetWnd::JavaSelected(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= runtimes_.size()) return;
  const JavaRuntime& runtime = runtimes_[static_cast<std::size_t>(index)];
  if (CControlUI* version = Find("LB_JavaVer")) version->SetText(QString::fromStdString(runtime.version));
  if (javaCombo_) javaCombo_->SetToolTip(QString::fromStdString(runtime.path));
}

void CInstanceSetWnd::BrowseForJava() {
  std::vector<std::string> chosen;
  if (!services_.pickers || !services_.pickers->BrowseForExecutable(GetHWND(), chosen) || chosen.empty()) return;
  const std::string program = chosen.front();
  std::optional<JavaRuntime> runtime;
  RunInBackground([&] {
    if (services_.probeJava) runtime = services_.probeJava(program);
  });
  if (!runtime) {
    Tell(msg::NotAJavaRuntime(program));
    return;
  }
  ShowJava(runtime->path, runtime->version);
  // What was found, also for a runtime already listed without a version.
  if (const int index = javaCombo_ ? javaCombo_->GetCurSel() : -1; index >= 0) {
    runtimes_[static_cast<std::size_t>(index)].version = runtime->version;
    JavaSelected(index);
  }
}

Result<GameSettings> CInstanceSetWnd::FromControls() {
  GameSettings own = OwnGameSettings(services_.settingsPath, services_.instanceName);
  for (const FollowGroup& group : kGroups) {
    const bool follows = IsChecked(group.followSwitch);
    for (std::size_t i = group.first; i < group.first + group.count; ++i) {
      const Binding& binding = kBindings[i];
      Status changed;
      if (follows) {
        changed = FollowLauncherSetting(own, binding.key);
      } else if (binding.kind == ControlKind::Java) {
        // The runtimes on offer were found or checked when they were added.
        const int index = javaCombo_ ? javaCombo_->GetCurSel() : 0;
        const JavaRuntime chosen =
            index >= 0 && static_cast<std::size_t>(index) < runtimes_.size() ? runtimes_[static_cast<std::size_t>(index)] : JavaRuntime{};
        own.javaPath = chosen.path;
        own.javaVer = chosen.version;
      } else {
        const std::string text = binding.kind == ControlKind::Flag ? std::string(profile::FlagText(IsChecked(binding.control)))
                                                                   : Find(binding.control)->GetText().toStdString();
        changed = SetGameSettingByKey(own, binding.key, text, true);
      }
      if (!changed) return std::move(changed).failure();
    }
  }
  return own;
}

void CInstanceSetWnd::Confirm() {
  Result<GameSettings> own = FromControls();
  if (!own) {
    Tell(own.message());
    return;
  }
  // The same checks as korvane-cli set --instance: on the values the instance would start with.
  const std::string problem =
      CheckGameSettings(GameSettingsInForce(*own, ReadSettings(services_.settingsPath).game), services_.settingsPath,
                        services_.machineMemoryMb);
  if (!problem.empty()) {
    Tell(problem);
    return;
  }
  if (!CInstanceList(services_.settingsPath, false).SetOwnSettings(services_.instanceName, *own)) {
    Tell(msg::kSettingsNotWritten);
    return;
  }
  Close(IDOK);
}

void CInstanceSetWnd::Tell(const std::string& text) {
  ShowMessageDialog(GetHWND(), QString::fromStdString(text), MessageKind::Warning, kPromptCaption, kMessageOk);
}

}  // namespace kv
