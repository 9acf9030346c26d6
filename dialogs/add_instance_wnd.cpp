#include "dialogs/add_instance_wnd.h"

#include <memory>

#include "dialogs/dialog_style.h"
#include "dialogs/message_dialog.h"
#include "dialogs/version_wnd.h"
#include "dialogs/window_messages.h"
#include "game/game_layout.h"
#include "settings/instance_commands.h"
#include "settings/settings.h"
#include "uilib/edit.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

CAddInstanceWnd::CAddInstanceWnd(std::string settingsPath, VersionListRefresh refreshVersionList)
    : settingsPath_(std::move(settingsPath)),
      gamePath_(LoadGamePath(settingsPath_)),
      refreshVersionList_(std::move(refreshVersionList)) {}

bool CAddInstanceWnd::CreateFor(HWND owner) {
  return CreateCentredDialog(*this, owner, QStringLiteral("添加游戏实例"));
}

void CAddInstanceWnd::InitControls() {
  const auto edit = [this](const char* name) {
    CControlUI* control = paintManager_.FindControl(QString::fromLatin1(name));
    return control ? static_cast<CEditUI*>(control->GetInterface(QStringLiteral("Edit"))) : nullptr;
  };
  nameEdit_ = edit("Ed_InstanceName");
  versionEdit_ = edit("Ed_Version");
  CreateIndicator();
}

void CAddInstanceWnd::RefreshVersionList() const {
  if (refreshVersionList_) refreshVersionList_(gamePath_);
}

void CAddInstanceWnd::ReadVersionList() { ReadVersionManifest(VersionListPath(gamePath_), manifest_); }

void CAddInstanceWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    // The player types the name first; the version list comes meanwhile.
    if (nameEdit_) paintManager_.SetFocus(nameEdit_);
    PostMessage(WMU_FETCH_VERSIONS, 0, 0);
    return;
  }
  if (msg.sType == kNotifyClick && msg.pSender) {
    const QString& name = msg.pSender->GetName();
    if (name == u"Btn_SelectVersion") {
      ChooseVersion();
      return;
    }
    if (name == u"Btn_OK") {
      Confirm();
      return;
    }
  }
  CDialogWindow::Notify(msg);
}

LRESULT CAddInstanceWnd::HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  handled = msg == WMU_FETCH_VERSIONS;
  if (handled) FetchVersions();
  return 0;
}

void CAddInstanceWnd::FetchVersions() {
  // A failed download leaves the local copy as it was; whatever it holds is offered.
  RunInBackground([this] { RefreshVersionList(); });
  ReadVersionList();
  if (!manifest_.entries.empty() && versionEdit_) {
    versionEdit_->SetText(QString::fromStdString(manifest_.entries.front().id));
  }
}

void CAddInstanceWnd::ChooseVersion() {
  CVersionWnd picker(*this);
  if (!picker.CreateFor(GetHWND())) return;
  if (picker.ShowModal() != IDOK) return;
  // The version's id also becomes the name, which the player may change before OK.
  const QString id = QString::fromStdString(picker.SelectedVersion());
  if (versionEdit_) versionEdit_->SetText(id);
  if (nameEdit_) nameEdit_->SetText(id);
}

void CAddInstanceWnd::Confirm() {
  const std::string name = nameEdit_ ? nameEdit_->GetText().toStdString() : std::string();
  const std::string version = versionEdit_ ? versionEdit_->GetText().toStdString() : std::string();
  // The fields in the order they stand; the domain checks the name in full.
  if (!name.empty() && version.empty()) {
    Tell(msg::kVersionNotChosen);
    return;
  }
  const InstanceCommandResult result = AddInstance(settingsPath_, gamePath_, name, version);
  if (result.status != InstanceCommandStatus::Done) {
    Tell(DescribeInstanceCommandResult(result));
    return;
  }
  resultName_ = name;
  resultVersion_ = version;
  Close(IDOK);
}

void CAddInstanceWnd::Tell(const std::string& text) {
  ShowMessageDialog(GetHWND(), QString::fromStdString(text), MessageKind::Warning, QStringLiteral("提示"), kMessageOk);
}

}  // namespace kv
