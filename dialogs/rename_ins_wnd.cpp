#include "dialogs/rename_ins_wnd.h"

#include "dialogs/dialog_style.h"
#include "dialogs/message_dialog.h"
#include "settings/instance_commands.h"
#include "settings/settings.h"
#include "uilib/edit.h"
#include "uilib/ui_cast.h"

namespace kv {

using namespace ui;

CRenameInsWnd::CRenameInsWnd(std::string settingsPath) : settingsPath_(std::move(settingsPath)) {}

bool CRenameInsWnd::CreateFor(HWND owner) { return CreateCentredDialog(*this, owner, QStringLiteral("游戏实例")); }

void CRenameInsWnd::SetCurrentName(const std::string& name) { oldName_ = newName_ = name; }

void CRenameInsWnd::InitControls() {
  CControlUI* control = paintManager_.FindControl(QStringLiteral("Ed_InstanceName"));
  nameEdit_ = ui_cast<CEditUI>(control);
}

void CRenameInsWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    if (nameEdit_) {
      nameEdit_->SetText(QString::fromStdString(newName_));
      paintManager_.SetFocus(nameEdit_);
    }
    return;
  }
  if (msg.sType == kNotifyClick && msg.pSender && msg.pSender->GetName() == u"Btn_Ok") {
    Confirm();
    return;
  }
  CDialogWindow::Notify(msg);
}

void CRenameInsWnd::Confirm() {
  const std::string name = nameEdit_ ? nameEdit_->GetText().toStdString() : std::string();
  if (name == oldName_) {
    Close(IDCANCEL);
    return;
  }
  const InstanceCommandResult result = RenameInstance(settingsPath_, LoadGamePath(settingsPath_), oldName_, name);
  if (result.status != InstanceCommandStatus::Done) {
    ShowMessageDialog(GetHWND(), QString::fromStdString(DescribeInstanceCommandResult(result)), MessageKind::Warning,
                      QStringLiteral("提示"), kMessageOk);
    return;
  }
  newName_ = name;
  Close(IDOK);
}

}  // namespace kv
