#pragma once

#include <string>

#include "dialogs/dialog_window.h"

namespace kv::ui {
class CEditUI;
}

// The dialog that gives an instance a new name. On OK the folder and the registry entry are
// renamed together (RenameInstance), or the reason they cannot be is shown and the dialog
// stays open. OK with the name unchanged closes it like Cancel.
namespace kv {

class CRenameInsWnd : public CDialogWindow {
 public:
  explicit CRenameInsWnd(std::string settingsPath);

  // Creates the dialog (centred on `owner`) for ShowModal: 1 renamed, 2 cancelled or
  // unchanged, 8 closed.
  bool CreateFor(ui::HWND owner);
  // The instance's name now; after CreateFor, before ShowModal.
  void SetCurrentName(const std::string& name);
  const std::string& NewName() const { return newName_; }

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvRenameInsWnd"); }
  ui::UINT GetClassStyle() const override { return ui::CS_DBLCLKS; }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\RenameIns_dlg.xml"); }
  QString ConfirmButtonName() const override { return QStringLiteral("Btn_Ok"); }
  QString CancelButtonName() const override { return QStringLiteral("Btn_Cancel"); }
  void InitControls() override;

 private:
  void Confirm();

  std::string settingsPath_;
  ui::CEditUI* nameEdit_ = nullptr;
  std::string oldName_;
  std::string newName_;
};

}  // namespace kv
