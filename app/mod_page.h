#pragma once

#include <string>
#include <thread>
#include <vector>

#include "mods/mod_documents.h"
#include "mods/package_tool.h"
#include "uilib/notify.h"
#include "uilib/ui_types.h"

namespace kv::ui {
class CControlUI;
class CListUI;
class CCheckBoxUI;
class CPaintManagerUI;
}  // namespace kv::ui

// The mod page of the launcher window: the catalogue of mods for the selected instance's game
// version or its installed mods, the details of the selected mod, and the install and remove
// buttons. Every package tool run happens on a worker while the loading indicator shows; the
// lists are only ever touched on the GUI thread, which takes a worker's result once the
// worker has finished.
namespace kv {

class CFrameWnd;

class ModPage {
 public:
  explicit ModPage(CFrameWnd& frame);
  // Waits for the last worker.
  ~ModPage();
  ModPage(const ModPage&) = delete;
  ModPage& operator=(const ModPage&) = delete;

  // Looks the page's controls up once the frame's layout is built.
  void FindControls(ui::CPaintManagerUI& manager);

  // The mod tab was selected, or another instance while it is shown: the tool is initialised
  // for the instance, then the list reloaded.
  void Open();
  // The page's notifications (its buttons, the filter, the list, the link); false for others.
  bool Notify(ui::TNotifyUI& msg);
  // The page's messages (WMU_MOD_*); false for others.
  bool HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam);

  const std::vector<CatalogueMod>& Catalogue() const { return catalogue_; }
  const std::vector<InstalledMod>& InstalledMods() const { return installedMods_; }
  // A package tool run is going on.
  bool Busy() const { return busy_; }

 private:
  enum class Pending { None, Reload, Open };

  bool ShowsInstalled() const;
  PackageTool Tool() const;
  // Runs `work` on a worker while the loading indicator shows and events are handled.
  template <typename Work>
  void RunWithIndicator(Work work);
  // A request that came while a tool ran is carried out afterwards.
  bool Defer(Pending request);
  void RunPending();

  void Reload();
  // Empties the list and the entries behind it and shows that a list is coming.
  void StartList();
  void LoadCatalogue();
  void ShowInstalled();
  void FillInstalled(std::vector<InstalledMod> mods);
  void AddItem(const std::string& id, const std::string& icon, bool installed);
  void SetBadge(int index, bool installed);
  void SelectFirst();
  void ShowDetails();
  void UpdatePlaceholders(int kind);
  void Install();
  void Remove();
  void OpenLink(ui::CControlUI& sender);

  CFrameWnd& frame_;
  std::vector<CatalogueMod> catalogue_;
  std::vector<InstalledMod> installedMods_;
  // Counts the list loads; an item message of an earlier load is ignored.
  ui::LPARAM generation_ = 0;
  // Whose list is shown, and where its icons are.
  std::string listedInstance_;
  std::string gamePath_;

  ui::CPaintManagerUI* manager_ = nullptr;
  ui::CListUI* list_ = nullptr;
  ui::CCheckBoxUI* installedFilter_ = nullptr;
  ui::CControlUI* listSide_ = nullptr;
  ui::CControlUI* infoSide_ = nullptr;
  ui::CControlUI* listChild_ = nullptr;
  ui::CControlUI* infoChild_ = nullptr;
  ui::CControlUI* nameLabel_ = nullptr;
  ui::CControlUI* authorLabel_ = nullptr;
  ui::CControlUI* installedLabel_ = nullptr;

  bool busy_ = false;
  Pending pending_ = Pending::None;
  std::thread worker_;
};

}  // namespace kv
