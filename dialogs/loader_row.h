#pragma once

#include <optional>
#include <string>
#include <vector>

#include "loader/loader_lists.h"
#include "loader/loader_services.h"

namespace kv::ui {
class CComboUI;
class CControlUI;
class CPaintManagerUI;
}  // namespace kv::ui

// The add-instance dialog's loader row, under the version: the loader (无, Fabric, Quilt, Forge,
// NeoForge), its versions for the chosen game version and a line that says what the row is
// doing or why a loader cannot be had. The lists of every loader are fetched together when the
// player first chooses one (the dialog runs FetchLists on its worker), and again for another
// game version; a loader without builds for the game version is marked unavailable.
namespace kv {

class CLoaderRow {
 public:
  explicit CLoaderRow(LoaderServices services);

  // Finds the row's controls in the dialog's layout and offers the loaders.
  void Attach(ui::CPaintManagerUI& manager);

  // The game version the lists are for; another one drops the lists of the last.
  void SetGameVersion(const std::string& gameVersion);
  // Whether `sender` is the loader choice: the dialog then sees whether the lists must be fetched.
  bool IsLoaderChoice(const ui::CControlUI* sender) const;
  // A loader is chosen whose lists have not been fetched for the game version.
  bool NeedsLists() const;
  // Shows that the lists are being fetched; on the GUI thread, before FetchLists.
  void ShowFetching();
  // Fetches every loader's list for the game version; on a worker thread, touching no control.
  void FetchLists();
  // Shows the lists FetchLists fetched and the chosen loader's versions; on the GUI thread.
  void ShowLists();
  // Shows the chosen loader's versions, or why there are none.
  void ShowChosenLoader();

  // The chosen loader; nothing for 无.
  std::optional<LoaderKind> ChosenKind() const;
  // The chosen version of the chosen loader; nothing while there is none to choose.
  std::optional<std::string> ChosenVersion() const;
  // Why the chosen loader cannot be installed now (its list failed, it has no build for the
  // game version, or no version is chosen); empty when it can.
  std::string Problem() const;

  // A line under the row: an installation's step, say.
  void ShowState(const std::string& text);

 private:
  const LoaderVersionList* ChosenList() const;

  LoaderServices services_;
  ui::CComboUI* kind_ = nullptr;
  ui::CComboUI* version_ = nullptr;
  ui::CControlUI* state_ = nullptr;
  std::string gameVersion_;
  std::string listedFor_;  // the game version of lists_
  std::string fetchingFor_;
  std::vector<LoaderChoices> lists_;
  std::vector<LoaderChoices> fetched_;  // written by FetchLists
};

}  // namespace kv
