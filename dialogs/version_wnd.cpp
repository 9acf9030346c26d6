#include "dialogs/version_wnd.h"

#include "dialogs/add_instance_wnd.h"
#include "dialogs/dialog_style.h"
#include "uilib/list.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

CVersionWnd::CVersionWnd(CAddInstanceWnd& owner) : owner_(owner) {}

bool CVersionWnd::CreateFor(HWND owner) { return CreateCentredDialog(*this, owner, QStringLiteral("选择版本")); }

void CVersionWnd::InitControls() {
  CControlUI* list = paintManager_.FindControl(QStringLiteral("List_Version"));
  list_ = ui_cast<CListUI>(list);
  CreateIndicator();
}

void CVersionWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    StartFill();
    return;
  }
  if (!msg.pSender) return;
  if (msg.sType == kNotifyItemSelect && msg.pSender == list_) {
    TakeSelection(static_cast<int>(msg.wParam));
    return;
  }
  if (msg.sType == kNotifyItemDbClick && msg.pSender == list_) {
    if (!selected_.empty()) Close(IDOK);
    return;
  }
  if (msg.sType != kNotifyClick) return;
  const QString& name = msg.pSender->GetName();
  if (name == u"Btn_Refresh") {
    Refresh();
  } else if (name == u"Btn_OK") {
    if (!selected_.empty()) Close(IDOK);
  } else {
    CDialogWindow::Notify(msg);
  }
}

void CVersionWnd::TakeSelection(int row) {
  selected_ = row >= 0 && static_cast<std::size_t>(row) < filled_ ? shown_[static_cast<std::size_t>(row)].id
                                                                   : std::string();
}

void CVersionWnd::StartFill() {
  ++fill_;
  selected_.clear();
  shown_ = owner_.Manifest().entries;
  filled_ = 0;
  if (!list_) return;
  list_->RemoveAll();
  PostTask([this, fill = fill_] { FillBatch(fill); });
}

void CVersionWnd::FillBatch(unsigned fill) {
  if (fill != fill_ || !list_) return;
  const std::size_t end = std::min(shown_.size(), filled_ + kRowsPerBatch);
  for (; filled_ < end; ++filled_) {
    auto* row = new CListTextElementUI;
    // Plain text: ids come from the network and are never read as markup.
    row->SetText(0, QString::fromStdString(shown_[filled_].id));
    row->SetText(1, QString::fromStdString(msg::VersionTypeName(shown_[filled_].type)));
    list_->Add(row);
  }
  if (Filling()) PostTask([this, fill] { FillBatch(fill); });
}

void CVersionWnd::Refresh() {
  RunInBackground([this] { owner_.RefreshVersionList(); });
  owner_.ReadVersionList();
  StartFill();
}

}  // namespace kv
