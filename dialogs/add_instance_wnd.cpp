#include "dialogs/add_instance_wnd.h"

#include <memory>

#include "dialogs/dialog_style.h"
#include "dialogs/message_dialog.h"
#include "dialogs/version_wnd.h"
#include "dialogs/window_messages.h"
#include "loader/loader_install.h"
#include "game/game_layout.h"
#include "platform/diagnostic_log.h"
#include "settings/instance_commands.h"
#include "settings/settings.h"
#include "uilib/edit.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

// An installation's steps shown under the loader row, posted from the worker.
class RowInstallSink : public InstallSink {
 public:
  RowInstallSink(CWindowWnd& window, CLoaderRow& row) : window_(window), row_(row) {}
  void OnStep(InstallStep step, int done, int total) override {
    window_.PostTask([row = &row_, text = InstallStepText(step, done, total)] { row->ShowState(text); });
  }
  // What the installer's processors print goes to the launcher's log.
  void OnOutput(const std::string& line) override { LogLine(LogLevel::Info, line); }

 private:
  CWindowWnd& window_;
  CLoaderRow& row_;
};

}  // namespace

CAddInstanceWnd::CAddInstanceWnd(std::string settingsPath, VersionListRefresh refreshVersionList, LoaderServices loaders)
    : settingsPath_(std::move(settingsPath)),
      gamePath_(LoadGamePath(settingsPath_)),
      refreshVersionList_(std::move(refreshVersionList)),
      loaders_(loaders),
      loaderRow_(std::move(loaders)) {}

bool CAddInstanceWnd::CreateFor(HWND owner) {
  return CreateCentredDialog(*this, owner, QStringLiteral("添加游戏实例"));
}

void CAddInstanceWnd::InitControls() {
  const auto edit = [this](const char* name) {
    CControlUI* control = paintManager_.FindControl(QString::fromLatin1(name));
    return ui_cast<CEditUI>(control);
  };
  nameEdit_ = edit("Ed_InstanceName");
  versionEdit_ = edit("Ed_Version");
  loaderRow_.Attach(paintManager_);
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
  if (msg.sType == kNotifyItemSelect && loaderRow_.IsLoaderChoice(msg.pSender)) {
    // After the combo's own handling: the lists are fetched in an event loop of their own.
    if (loaderRow_.NeedsLists()) PostTask([this] { FetchLoaderLists(); });
    else loaderRow_.ShowChosenLoader();
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
  if (!manifest_.entries.empty()) ShowVersion(QString::fromStdString(manifest_.entries.front().id));
}

void CAddInstanceWnd::ShowVersion(const QString& id) {
  if (versionEdit_) versionEdit_->SetText(id);
  loaderRow_.SetGameVersion(id.toStdString());
  if (loaderRow_.NeedsLists()) FetchLoaderLists();
}

void CAddInstanceWnd::FetchLoaderLists() {
  if (!loaderRow_.NeedsLists()) return;
  loaderRow_.ShowFetching();
  RunInBackground([this] { loaderRow_.FetchLists(); });
  loaderRow_.ShowLists();
}

void CAddInstanceWnd::ChooseVersion() {
  CVersionWnd picker(*this);
  if (!picker.CreateFor(GetHWND())) return;
  if (picker.ShowModal() != IDOK) return;
  // The version's id also becomes the name, which the player may change before OK.
  const QString id = QString::fromStdString(picker.SelectedVersion());
  if (nameEdit_) nameEdit_->SetText(id);
  ShowVersion(id);
}

void CAddInstanceWnd::Confirm() {
  const std::string name = nameEdit_ ? nameEdit_->GetText().toStdString() : std::string();
  const std::string version = versionEdit_ ? versionEdit_->GetText().toStdString() : std::string();
  // The fields in the order they stand; the domain checks the name in full.
  if (!name.empty() && version.empty()) {
    Tell(msg::kVersionNotChosen);
    return;
  }
  std::string instanceVersion = version;
  if (loaderRow_.ChosenKind()) {
    const std::optional<std::string> installed = InstallLoader(name, version);
    if (!installed) return;
    instanceVersion = *installed;
  }
  const InstanceCommandResult result = AddInstance(settingsPath_, gamePath_, name, instanceVersion);
  if (result.status != InstanceCommandStatus::Done) {
    Tell(DescribeInstanceCommandResult(result));
    return;
  }
  resultName_ = name;
  resultVersion_ = instanceVersion;
  Close(IDOK);
}

std::optional<std::string> CAddInstanceWnd::InstallLoader(const std::string& name, const std::string& gameVersion) {
  const LoaderKind kind = *loaderRow_.ChosenKind();
  // What would refuse the instance refuses it before anything is fetched for it.
  const InstanceCommandResult check = CheckNewInstance(settingsPath_, name);
  std::string refusal = DescribeInstanceCommandResult(check);
  if (refusal.empty() && !loaders_.install) {
    refusal = msg::LoaderInstallNotAvailable(std::string(LoaderDisplayName(kind)));
  }
  if (refusal.empty()) refusal = loaderRow_.Problem();
  if (!refusal.empty()) {
    Tell(refusal);
    return std::nullopt;
  }
  const LoaderInstallRequest request{gamePath_, gameVersion, kind, *loaderRow_.ChosenVersion()};
  std::optional<Result<std::string>> installed;
  RowInstallSink sink(*this, loaderRow_);
  RunInBackground([&] { installed.emplace(loaders_.install(request, sink)); });
  // After the steps the worker posted.
  PostTask([this] { loaderRow_.ShowState(std::string()); });
  if (!*installed) {
    Tell(installed->message());
    return std::nullopt;
  }
  return installed->value();
}

void CAddInstanceWnd::Tell(const std::string& text) {
  ShowMessageDialog(GetHWND(), QString::fromStdString(text), MessageKind::Warning, QStringLiteral("提示"), kMessageOk);
}

}  // namespace kv
