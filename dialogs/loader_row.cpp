#include "dialogs/loader_row.h"

#include "uilib/combo.h"
#include "uilib/paint_manager.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

CComboUI* ComboOf(CPaintManagerUI& manager, const char* name) {
  CControlUI* control = manager.FindControl(QString::fromLatin1(name));
  return ui_cast<CComboUI>(control);
}

void AddItem(CComboUI& combo, const std::string& text) {
  auto* item = new CListLabelElementUI;
  item->SetText(QString::fromStdString(text));
  combo.Add(item);
}

std::string LoaderName(LoaderKind kind) { return std::string(LoaderDisplayName(kind)); }

}  // namespace

CLoaderRow::CLoaderRow(LoaderServices services) : services_(std::move(services)) {}

void CLoaderRow::Attach(CPaintManagerUI& manager) {
  kind_ = ComboOf(manager, "CBox_Loader");
  version_ = ComboOf(manager, "CBox_LoaderVersion");
  state_ = manager.FindControl(QStringLiteral("LB_LoaderState"));
  if (kind_) {
    AddItem(*kind_, msg::kNoLoader);
    for (LoaderKind kind : kLoaderKinds) AddItem(*kind_, LoaderName(kind));
    kind_->SelectItem(0);
  }
  if (version_) version_->SetEnabled(false);
}

void CLoaderRow::SetGameVersion(const std::string& gameVersion) {
  gameVersion_ = gameVersion;
  if (listedFor_ == gameVersion_) return;
  lists_.clear();
  listedFor_.clear();
  for (std::size_t i = 0; kind_ && i < kLoaderKinds.size(); ++i) {
    kind_->GetItemAt(static_cast<int>(i) + 1)->SetText(QString::fromStdString(LoaderName(kLoaderKinds[i])));
  }
  if (kind_) kind_->SyncItems();
  ShowChosenLoader();
}

bool CLoaderRow::IsLoaderChoice(const CControlUI* sender) const { return sender && sender == kind_; }

bool CLoaderRow::NeedsLists() const { return ChosenKind() && !gameVersion_.empty() && listedFor_ != gameVersion_; }

void CLoaderRow::ShowFetching() {
  fetchingFor_ = gameVersion_;
  if (version_) {
    version_->RemoveAll();
    version_->SetEnabled(false);
  }
  ShowState(msg::kLoaderListsLoading);
}

void CLoaderRow::FetchLists() {
  const auto& list = services_.listVersions;
  fetched_ = FetchEveryLoaderList([&](LoaderKind kind) -> LoaderVersionList {
    if (!list) return std::vector<LoaderVersion>{};
    return list(kind, fetchingFor_);
  });
}

void CLoaderRow::ShowLists() {
  lists_ = std::move(fetched_);
  fetched_.clear();
  listedFor_ = fetchingFor_;
  for (std::size_t i = 0; kind_ && i < lists_.size(); ++i) {
    const LoaderVersionList& versions = lists_[i].versions;
    const bool unavailable = versions && versions->empty();
    kind_->GetItemAt(static_cast<int>(i) + 1)->SetText(QString::fromStdString(
        LoaderName(lists_[i].kind) + (unavailable ? std::string("（") + msg::kLoaderUnavailableMark + "）" : "")));
  }
  if (kind_) kind_->SyncItems();
  ShowChosenLoader();
}

const LoaderVersionList* CLoaderRow::ChosenList() const {
  const std::optional<LoaderKind> kind = ChosenKind();
  if (!kind || listedFor_ != gameVersion_) return nullptr;
  for (const LoaderChoices& choices : lists_) {
    if (choices.kind == *kind) return &choices.versions;
  }
  return nullptr;
}

void CLoaderRow::ShowChosenLoader() {
  if (!version_) return;
  version_->RemoveAll();
  const LoaderVersionList* list = ChosenList();
  const bool offered = list && *list && !(*list)->empty();
  version_->SetEnabled(offered);
  if (!offered) {
    ShowState(ChosenKind() && list ? Problem() : std::string());
    return;
  }
  const std::vector<LoaderVersion>& versions = **list;
  for (const LoaderVersion& version : versions) {
    const char* mark = version.recommended ? msg::kLoaderRecommended : version.stable ? msg::kLoaderStable : nullptr;
    AddItem(*version_, version.id + (mark ? std::string("（") + mark + "）" : ""));
  }
  version_->SelectItem(static_cast<int>(DefaultLoaderVersion(versions) - versions.data()));
  ShowState(std::string());
}

std::optional<LoaderKind> CLoaderRow::ChosenKind() const {
  const int index = kind_ ? kind_->GetCurSel() : 0;
  if (index < 1 || index > static_cast<int>(kLoaderKinds.size())) return std::nullopt;
  return kLoaderKinds[static_cast<std::size_t>(index) - 1];
}

std::optional<std::string> CLoaderRow::ChosenVersion() const {
  const LoaderVersionList* list = ChosenList();
  const int index = version_ ? version_->GetCurSel() : -1;
  if (!list || !*list || index < 0 || index >= static_cast<int>((*list)->size())) return std::nullopt;
  return (**list)[static_cast<std::size_t>(index)].id;
}

std::string CLoaderRow::Problem() const {
  const std::optional<LoaderKind> kind = ChosenKind();
  if (!kind) return {};
  const LoaderVersionList* list = ChosenList();
  if (list && !*list) return list->message();
  if (list && (*list)->empty()) return msg::LoaderUnavailable(LoaderName(*kind), gameVersion_);
  return ChosenVersion() ? std::string() : msg::kLoaderVersionNotChosen;
}

void CLoaderRow::ShowState(const std::string& text) {
  if (!state_) return;
  state_->SetText(QString::fromStdString(text));
  state_->SetToolTip(QString::fromStdString(text));
}

}  // namespace kv
