#pragma once

#include <string>
#include <vector>

#include "dialogs/worker_dialog.h"
#include "meta/version_manifest.h"

namespace kv::ui {
class CListUI;
}

// The list of every game version of the add-instance dialog's version list, with its type
// (release, snapshot, old_beta, old_alpha). The player picks one (select and OK, or a double
// click); "刷新" downloads the list again behind the indicator and shows the new one.
//
// The rows are made on the GUI thread in batches, each batch a task of its own, so the window
// answers between batches and a long list is whole in a moment. Each fill shows a copy of the
// list taken when it starts: a refresh that replaces the list starts a new fill, and batches of
// an earlier fill are dropped. Batches still queued when the window closes go with it.
namespace kv {

class CAddInstanceWnd;

class CVersionWnd : public CWorkerDialog {
 public:
  static constexpr std::size_t kRowsPerBatch = 100;

  explicit CVersionWnd(CAddInstanceWnd& owner);

  // Creates the picker (centred on `owner`) for ShowModal: 1 a version was chosen, 2
  // cancelled, 8 closed.
  bool CreateFor(ui::HWND owner);
  // The id of the chosen version; empty until a row is selected.
  const std::string& SelectedVersion() const { return selected_; }
  // The versions the list shows (or is filling with), row by row.
  const std::vector<ManifestEntry>& ShownVersions() const { return shown_; }
  bool Filling() const { return filled_ < shown_.size(); }

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvVersionWnd"); }
  ui::UINT GetClassStyle() const override { return ui::CS_DBLCLKS; }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\Version_dlg.xml"); }
  QString ConfirmButtonName() const override { return QStringLiteral("Btn_OK"); }
  QString CancelButtonName() const override { return QStringLiteral("Btn_Cancel"); }
  void InitControls() override;

 private:
  void StartFill();
  void FillBatch(unsigned fill);
  void Refresh();
  void TakeSelection(int row);

  CAddInstanceWnd& owner_;
  ui::CListUI* list_ = nullptr;
  std::vector<ManifestEntry> shown_;
  std::size_t filled_ = 0;
  unsigned fill_ = 0;  // counts the fills; a batch of an older fill does nothing
  std::string selected_;
};

}  // namespace kv
