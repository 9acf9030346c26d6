#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "dialogs/dialog_window.h"

// The list from which the player picks the game profile to play when the account has several:
// the first is selected, OK (or a double click on a row) takes the selected one, Cancel and
// the close button take none.
namespace kv::ui {
class CListUI;
}

namespace kv {

class CProfileChoiceWnd : public CDialogWindow {
 public:
  explicit CProfileChoiceWnd(std::vector<QString> names);

  // Runs modally over `owner`, on the GUI thread: the index of the chosen profile, or nothing.
  std::optional<std::size_t> Run(ui::HWND owner);

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvProfileChoiceWnd"); }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\ProfileChoice_dlg.xml"); }
  QString ConfirmButtonName() const override { return QStringLiteral("Btn_Ok"); }
  QString CancelButtonName() const override { return QStringLiteral("Btn_Cancel"); }
  // A double click on a row chooses it.
  ui::UINT GetClassStyle() const override { return ui::CS_DBLCLKS; }
  void InitControls() override;

 private:
  std::vector<QString> names_;
  std::optional<std::size_t> chosen_;
  ui::CListUI* list_ = nullptr;
};

}  // namespace kv
