#include "dialogs/profile_choice_wnd.h"

#include "uilib/list.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

constexpr UINT kProfileChoiceStyle = 0x96C80000;

}  // namespace

CProfileChoiceWnd::CProfileChoiceWnd(std::vector<QString> names) : names_(std::move(names)) {}

std::optional<std::size_t> CProfileChoiceWnd::Run(HWND owner) {
  if (!Create(owner, QString::fromUtf8(msg::kProfileChoiceTitle), kProfileChoiceStyle & ~WS_VISIBLE, WS_EX_WINDOWEDGE)) {
    return std::nullopt;
  }
  CenterWindow();
  ShowModal();
  return chosen_;
}

void CProfileChoiceWnd::InitControls() {
  if (CControlUI* control = paintManager_.FindControl(QStringLiteral("List_Profiles"))) {
    list_ = ui_cast<CListUI>(control);
  }
  if (!list_) return;
  for (const QString& name : names_) {
    auto* row = new CListLabelElementUI;
    row->SetText(name);
    row->SetToolTip(name);
    list_->Add(row);
  }
  list_->SelectItem(0);
}

void CProfileChoiceWnd::Notify(TNotifyUI& msg) {
  if (!msg.pSender) return;
  const bool activated = msg.sType == kNotifyItemActivate && list_ && list_->GetItemIndex(msg.pSender) >= 0;
  const bool confirmed = msg.sType == kNotifyClick && msg.pSender->GetName() == u"Btn_Ok";
  if ((activated || confirmed) && list_ && list_->GetCurSel() >= 0) {
    chosen_ = static_cast<std::size_t>(list_->GetCurSel());
    Close(IDOK);
    return;
  }
  CDialogWindow::Notify(msg);
}

}  // namespace kv
