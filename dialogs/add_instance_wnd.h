#pragma once

#include <functional>
#include <optional>
#include <string>

#include "dialogs/loader_row.h"
#include "dialogs/worker_dialog.h"
#include "loader/loader_services.h"
#include "meta/version_manifest.h"

namespace kv::ui {
class CEditUI;
}

// The dialog that creates an instance: a name and a game version. While it opens it brings
// the version list up to date behind its indicator and offers the list's first version; the
// version picker ("...") shows the whole list; under it the player may choose a loader and its
// version (CLoaderRow). On OK the chosen loader is installed behind the indicator, the instance
// then taking the version it installed, and the instance is registered and its folder made
// (AddInstance); or the reason it cannot be is shown and the dialog stays open.
namespace kv {

// Brings the local copy of the version list of a game folder up to date (a download; it runs
// on a worker thread). True when a new copy was stored.
using VersionListRefresh = std::function<bool(const std::string& gamePath)>;

class CAddInstanceWnd : public CWorkerDialog {
 public:
  CAddInstanceWnd(std::string settingsPath, VersionListRefresh refreshVersionList, LoaderServices loaders = {});

  // Creates the dialog (centred on `owner`) for ShowModal: 1 registered, 2 cancelled, 8 closed.
  bool CreateFor(ui::HWND owner);
  const std::string& ResultName() const { return resultName_; }
  const std::string& ResultVersion() const { return resultVersion_; }

  // The version list the picker shows; read again by ReadVersionList.
  const VersionManifest& Manifest() const { return manifest_; }
  // The download; safe on any thread.
  void RefreshVersionList() const;
  // The local copy into Manifest(); on the GUI thread.
  void ReadVersionList();

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvAddInstanceWnd"); }
  ui::UINT GetClassStyle() const override { return ui::CS_DBLCLKS; }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\AddInstance_dlg.xml"); }
  QString ConfirmButtonName() const override { return QStringLiteral("Btn_OK"); }
  QString CancelButtonName() const override { return QStringLiteral("Btn_Cancel"); }
  void InitControls() override;
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;

 private:
  void FetchVersions();
  void ChooseVersion();
  // The version field's text, and the loader row's game version with it.
  void ShowVersion(const QString& id);
  void FetchLoaderLists();
  void Confirm();
  // Installs the chosen loader for `gameVersion`; the version it installed, or nothing after
  // telling the player why not.
  std::optional<std::string> InstallLoader(const std::string& name, const std::string& gameVersion);
  void Tell(const std::string& text);

  std::string settingsPath_;
  std::string gamePath_;
  VersionListRefresh refreshVersionList_;
  LoaderServices loaders_;
  CLoaderRow loaderRow_;
  VersionManifest manifest_;
  ui::CEditUI* nameEdit_ = nullptr;
  ui::CEditUI* versionEdit_ = nullptr;
  std::string resultName_;
  std::string resultVersion_;
};

}  // namespace kv
