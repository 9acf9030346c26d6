#include "app/mod_page.h"

#include "app/frame_wnd.h"
#include "dialogs/loading_wnd.h"
#include "dialogs/window_messages.h"
#include "mods/mod_view.h"
#include "settings/settings.h"
#include "uilib/button.h"
#include "uilib/label.h"
#include "uilib/list.h"
#include "uilib/paint_manager.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

const QString kInstalledBadge = QStringLiteral("file='image\\ModInstalled.png' dest='27,27,39,39'");
const QString kNotInstalledBadge = QStringLiteral("file='image\\ModNotInstalled.png' dest='27,27,39,39'");
const QString kIconName = QStringLiteral("MODICON");
constexpr ARGB kPlaceholderColor = 0xFFE3DB9A;
// A placeholder kind without a text of its own.
constexpr int kKeepPlaceholderText = -1;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// An image attribute for a file of the disk. The path is quoted with whichever quote it does
// not hold; a path holding both gets no picture.
QString DiskImage(const std::string& path, const char* dest) {
  if (path.empty()) return {};
  const QString file = Text(path);
  QChar quote = u'\'';
  if (file.contains(quote)) quote = u'"';
  if (file.contains(quote)) return {};
  return QStringLiteral("file=") + quote + file + quote + QStringLiteral(" dest='") + QLatin1String(dest) + u'\'';
}

void SetTextAndTip(CControlUI* label, const QString& text) {
  if (!label) return;
  label->SetText(text);
  label->SetToolTip(text);
}

}  // namespace

ModPage::ModPage(CFrameWnd& frame) : frame_(frame) {}

ModPage::~ModPage() {
  if (worker_.joinable()) worker_.join();
}

void ModPage::FindControls(CPaintManagerUI& manager) {
  manager_ = &manager;
  const auto find = [&manager](const char* name) { return manager.FindControl(QString::fromLatin1(name)); };
  list_ = ui_cast<CListUI>(find("List_Mod"));
  installedFilter_ = ui_cast<CCheckBoxUI>(find("CB_IsInstanll"));
  listSide_ = find("VL_ModList");
  infoSide_ = find("VL_ModInfo");
  listChild_ = find("VL_ModListChild");
  infoChild_ = find("VL_ModInfoChild");
  nameLabel_ = find("LB_ModName");
  authorLabel_ = find("LB_ModAuthor");
  installedLabel_ = find("LB_Installed");
}

bool ModPage::ShowsInstalled() const { return installedFilter_ && installedFilter_->GetCheck(); }

PackageTool ModPage::Tool() const {
  const FrameServices& services = frame_.Services();
  CSettings settings(services.settingsPath);
  settings.Load(*services.java);
  return PackageTool::ForLauncher(services.packageToolFolder, services.settingsPath, settings.gamePath);
}

template <typename Work>
void ModPage::RunWithIndicator(Work work) {
  CLoadingWnd* loading = frame_.LoadingWindow();
  if (worker_.joinable()) worker_.join();
  busy_ = true;
  if (!loading) {
    work();
  } else {
    loading->Begin();
    // The work is done before the worker signals, so what it refers to on this thread's stack
    // is not touched afterwards; only the indicator's hiding goes on.
    worker_ = std::thread([&work, loading] {
      work();
      loading->Finish();
    });
    loading->Wait();
  }
  busy_ = false;
}

bool ModPage::Defer(Pending request) {
  if (!busy_) return false;
  if (request == Pending::Open || pending_ == Pending::None) pending_ = request;
  return true;
}

void ModPage::RunPending() {
  const Pending request = pending_;
  pending_ = Pending::None;
  if (request == Pending::Open) Open();
  if (request == Pending::Reload) frame_.PostMessage(WMU_MOD_RELOAD, 0, 0);
}

void ModPage::Open() {
  if (!list_ || Defer(Pending::Open)) return;
  const std::string name = frame_.SelectedInstanceName();
  const std::string version = frame_.SelectedInstanceVersion();
  bool ready = false;
  if (!name.empty() && GameVersionOf(version)) {
    const PackageTool tool = Tool();
    RunWithIndicator([&] { ready = PkgInit(tool, name, version); });
  }
  if (!ready) UpdatePlaceholders(static_cast<int>(ModPlaceholder::NotSupported));
  frame_.PostMessage(WMU_MOD_RELOAD, 0, 0);
  RunPending();
}

void ModPage::Reload() {
  if (!list_ || Defer(Pending::Reload)) return;
  if (ShowsInstalled()) {
    ShowInstalled();
    frame_.PostMessage(WMU_MOD_STATUS, static_cast<WPARAM>(ModPlaceholder::NoneInstalled), 0);
  } else {
    LoadCatalogue();
    frame_.PostMessage(WMU_MOD_STATUS, static_cast<WPARAM>(ModPlaceholder::NotSupported), 0);
  }
  RunPending();
}

void ModPage::StartList() {
  list_->RemoveAll();
  catalogue_.clear();
  installedMods_.clear();
  ++generation_;
  listedInstance_ = frame_.SelectedInstanceName();
  gamePath_.clear();
  frame_.PostMessage(WMU_MOD_STATUS, static_cast<WPARAM>(ModPlaceholder::Loading), 0);
}

void ModPage::LoadCatalogue() {
  StartList();
  const std::string name = listedInstance_;
  const std::string version = frame_.SelectedInstanceVersion();
  if (name.empty() || !GameVersionOf(version)) return;
  const PackageTool tool = Tool();
  gamePath_ = tool.gamePath;
  std::vector<CatalogueMod> found;
  bool matched = false;
  RunWithIndicator([&] {
    PkgRefreshList(tool, name);
    matched = PkgMatchList(tool, name, version, found);
  });
  if (!matched) return;
  // The worker has finished: the list it read is handed over here, on the GUI thread.
  catalogue_ = std::move(found);
  for (std::size_t i = 0; i < catalogue_.size(); ++i) frame_.PostMessage(WMU_MOD_ADD_ITEM, i, generation_);
  frame_.PostMessage(WMU_MOD_SELECT_FIRST, 0, 0);
}

void ModPage::ShowInstalled() {
  StartList();
  const std::string name = listedInstance_;
  if (name.empty()) return;
  const PackageTool tool = Tool();
  gamePath_ = tool.gamePath;
  std::vector<InstalledMod> found;
  bool listed = false;
  RunWithIndicator([&] { listed = PkgList(tool, name, found); });
  if (listed) FillInstalled(std::move(found));
}

void ModPage::FillInstalled(std::vector<InstalledMod> mods) {
  installedMods_ = std::move(mods);
  for (const InstalledMod& mod : installedMods_) AddItem(mod.mod.id, mod.extra.icon, true);
  frame_.PostMessage(WMU_MOD_SELECT_FIRST, 0, 0);
}

void ModPage::AddItem(const std::string& id, const std::string& icon, bool installed) {
  auto* item = new CListContainerElementUI;
  item->SetAttribute(QStringLiteral("height"), QStringLiteral("45"));
  auto* row = new CHorizontalLayoutUI;
  row->SetAttribute(QStringLiteral("childpadding"), QStringLiteral("10"));
  row->SetAttribute(QStringLiteral("inset"), QStringLiteral("3,3,3,3"));
  auto* picture = new CButtonUI;
  picture->SetName(kIconName);
  picture->SetAttribute(QStringLiteral("height"), QStringLiteral("39"));
  picture->SetAttribute(QStringLiteral("width"), QStringLiteral("39"));
  picture->SetAttribute(QStringLiteral("bkimage"), DiskImage(ModIconPath(gamePath_, listedInstance_, icon), "2,2,37,37"));
  picture->SetNormalImage(installed ? kInstalledBadge : kNotInstalledBadge);
  // The picture is part of the row: a click on it selects the row.
  picture->SetMouseEnabled(false);
  auto* label = new CLabelUI;
  label->SetText(Text(id));
  label->SetAttribute(QStringLiteral("height"), QStringLiteral("39"));
  label->SetAttribute(QStringLiteral("font"), QStringLiteral("1"));
  label->SetAttribute(QStringLiteral("textcolor"), QStringLiteral("#FF4A3F1F"));
  label->SetAttribute(QStringLiteral("endellipsis"), QStringLiteral("true"));
  label->SetMouseEnabled(false);
  row->Add(picture);
  row->Add(label);
  item->Add(row);
  list_->Add(item);
}

void ModPage::SetBadge(int index, bool installed) {
  auto* item = ui_cast<CContainerUI>(list_->GetItemAt(index));
  auto* row = item ? ui_cast<CContainerUI>(item->GetItemAt(0)) : nullptr;
  auto* picture = row ? ui_cast<CButtonUI>(row->FindSubControl(kIconName)) : nullptr;
  if (picture) picture->SetNormalImage(installed ? kInstalledBadge : kNotInstalledBadge);
}

void ModPage::SelectFirst() {
  if (list_->GetCount() == 0) return;
  // A hidden row cannot be selected: the list replaces the loading placeholder first.
  UpdatePlaceholders(kKeepPlaceholderText);
  list_->SelectItem(0, false);
}

void ModPage::ShowDetails() {
  const int index = list_->GetCurSel();
  if (index < 0) return;
  const auto at = static_cast<std::size_t>(index);
  if (ShowsInstalled()) {
    if (at >= installedMods_.size()) return;
    const InstalledMod& mod = installedMods_[at];
    SetTextAndTip(nameLabel_, Text(mod.mod.id));
    SetTextAndTip(authorLabel_, Text(AuthorLine(mod.extra.author)));
    if (installedLabel_) installedLabel_->SetText(QStringLiteral("Yes"));
  } else {
    if (at >= catalogue_.size()) return;
    const CatalogueMod& mod = catalogue_[at];
    SetTextAndTip(nameLabel_, Text(mod.id));
    SetTextAndTip(authorLabel_, Text(AuthorLine(mod.extra.author)));
    if (installedLabel_) installedLabel_->SetText(CountsAsInstalled(mod) ? QStringLiteral("Yes") : QStringLiteral("No"));
  }
}

namespace {

// A placeholder of the page: a coloured panel named `layoutName` with a centred line of text
// between two fillers, made on first use inside `parent`; each part is made only while no
// control inside `parent` has its name. (Only inside: a tile elsewhere in the window may carry
// any name, an instance's.)
CControlUI* Placeholder(CPaintManagerUI& manager, CControlUI* parent, const QString& layoutName, const QString& top,
                        const QString& labelName, const QString& bottom) {
  auto* layout = ui_cast<CContainerUI>(manager.FindSubControlByName(parent, layoutName));
  if (!layout) {
    auto* container = ui_cast<CContainerUI>(parent);
    if (!container) return nullptr;
    layout = new CVerticalLayoutUI;
    layout->SetName(layoutName);
    layout->SetBkColor(kPlaceholderColor);
    layout->SetBorderRound(QSize(6, 6));
    container->Add(layout);
  }
  const auto make = [&](const QString& name, auto create) {
    if (manager.FindSubControlByName(layout, name)) return;
    CControlUI* control = create();
    control->SetName(name);
    layout->Add(control);
  };
  make(top, [] { return new CContainerUI; });
  make(labelName, [] {
    auto* label = new CLabelUI;
    label->SetAttribute(QStringLiteral("align"), QStringLiteral("center"));
    label->SetAttribute(QStringLiteral("font"), QStringLiteral("2"));
    label->SetAttribute(QStringLiteral("textcolor"), QStringLiteral("#FF6B5B28"));
    label->SetFixedHeight(30);
    return label;
  });
  make(bottom, [] { return new CContainerUI; });
  return layout;
}

}  // namespace

void ModPage::UpdatePlaceholders(int kind) {
  if (!manager_ || !list_) return;
  const bool hasItems = list_->GetCount() > 0;
  CControlUI* noMod = manager_->FindSubControlByName(listSide_, QStringLiteral("VL_NOMOD"));
  if (hasItems) {
    if (listChild_) listChild_->SetVisible(true);
    if (noMod) noMod->SetVisible(false);
  } else {
    if (listChild_) listChild_->SetVisible(false);
    noMod = Placeholder(*manager_, listSide_, QStringLiteral("VL_NOMOD"), QStringLiteral("Container_NOMODTOP"),
                        QStringLiteral("TEXT_NOMOD"), QStringLiteral("Container_NOMODBOTTOM"));
    if (const std::optional<std::string> text = ModPlaceholderText(kind)) {
      if (CControlUI* label = manager_->FindSubControlByName(listSide_, QStringLiteral("TEXT_NOMOD"))) {
        label->SetText(Text(*text));
      }
    }
    if (noMod) noMod->SetVisible(true);
  }
  CControlUI* noInfo = manager_->FindSubControlByName(infoSide_, QStringLiteral("VL_NOMODINFO"));
  if (hasItems && list_->GetCurSel() >= 0) {
    if (infoChild_) infoChild_->SetVisible(true);
    if (noInfo) noInfo->SetVisible(false);
  } else {
    if (infoChild_) infoChild_->SetVisible(false);
    if (!noInfo) {
      noInfo = Placeholder(*manager_, infoSide_, QStringLiteral("VL_NOMODINFO"), QStringLiteral("Container_NOMODINFOTOP"),
                           QStringLiteral("TEXT_NOMODINFO"), QStringLiteral("Container_NOMODINFOBOTTOM"));
      if (CControlUI* label = manager_->FindSubControlByName(infoSide_, QStringLiteral("TEXT_NOMODINFO"))) {
        label->SetText(QString::fromUtf8(msg::kModNoDetails));
      }
    }
    if (noInfo) noInfo->SetVisible(true);
  }
}

void ModPage::Install() {
  if (busy_ || ShowsInstalled()) return;
  const int index = list_->GetCurSel();
  if (index < 0 || static_cast<std::size_t>(index) >= catalogue_.size()) return;
  const CatalogueMod& mod = catalogue_[static_cast<std::size_t>(index)];
  const std::string name = frame_.SelectedInstanceName();
  if (CountsAsInstalled(mod) || mod.id.empty() || name.empty()) return;
  const std::string id = mod.id;
  const PackageTool tool = Tool();
  const LPARAM generation = generation_;
  RunWithIndicator([&] {
    if (PkgInstall(tool, name, id)) frame_.PostMessage(WMU_MOD_INSTALLED, static_cast<WPARAM>(index), generation);
    PkgRefreshList(tool, name);
  });
  RunPending();
}

void ModPage::Remove() {
  if (busy_) return;
  const int index = list_->GetCurSel();
  const bool installedView = ShowsInstalled();
  const std::size_t shown = installedView ? installedMods_.size() : catalogue_.size();
  const std::string name = frame_.SelectedInstanceName();
  if (index >= 0 && static_cast<std::size_t>(index) < shown && !name.empty()) {
    const auto at = static_cast<std::size_t>(index);
    const std::string id = installedView ? installedMods_[at].mod.id : catalogue_[at].id;
    const PackageTool tool = Tool();
    bool removed = false;
    bool listed = false;
    std::vector<InstalledMod> remaining;
    if (!id.empty()) {
      RunWithIndicator([&] {
        removed = PkgUninstall(tool, name, id);
        if (removed && installedView) listed = PkgList(tool, name, remaining);
        if (removed && !installedView) PkgRefreshList(tool, name);
      });
    }
    if (removed && installedView) {
      // The items are made again from the list the tool now reports, so that each item stays
      // the entry behind it.
      StartList();
      gamePath_ = tool.gamePath;
      if (listed) FillInstalled(std::move(remaining));
    } else if (removed) {
      SetBadge(index, false);
      if (installedLabel_) installedLabel_->SetText(QStringLiteral("No"));
      catalogue_[at].installed = "false";
    }
  }
  frame_.PostMessage(WMU_MOD_SELECT_FIRST, 0, 0);
  frame_.PostMessage(WMU_MOD_STATUS, static_cast<WPARAM>(ModPlaceholder::NoneInstalled), 0);
  RunPending();
}

void ModPage::OpenLink(CControlUI& sender) {
  const std::optional<std::string> address = ModLinkAddress(sender.GetText().toStdString());
  const FrameServices& services = frame_.Services();
  if (address && services.openUrl) services.openUrl(*address);
}

bool ModPage::Notify(TNotifyUI& msg) {
  CControlUI* sender = msg.pSender;
  if (!sender || !list_) return false;
  const QString& name = sender->GetName();
  if (msg.sType == kNotifyClick && name == u"Btn_AddMod") {
    Install();
  } else if (msg.sType == kNotifyClick && name == u"Btn_DelMod") {
    Remove();
  } else if (msg.sType == kNotifySelectChanged && sender == installedFilter_) {
    frame_.PostMessage(WMU_MOD_RELOAD, 0, 0);
  } else if (msg.sType == kNotifyItemSelect && sender == list_) {
    ShowDetails();
    frame_.PostMessage(WMU_MOD_STATUS, static_cast<WPARAM>(ModPlaceholder::NotSupported), 0);
  } else if (msg.sType == kNotifyLink && name == u"Txt_ModLinker") {
    OpenLink(*sender);
  } else {
    return false;
  }
  return true;
}

bool ModPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!list_) return false;
  const std::size_t index = static_cast<std::size_t>(wParam);
  switch (msg) {
    case WMU_MOD_ADD_ITEM:
      if (lParam == generation_ && !ShowsInstalled() && index < catalogue_.size()) {
        AddItem(catalogue_[index].id, catalogue_[index].extra.icon, CountsAsInstalled(catalogue_[index]));
      }
      return true;
    case WMU_MOD_INSTALLED:
      if (lParam == generation_ && !ShowsInstalled() && index < catalogue_.size()) {
        SetBadge(static_cast<int>(index), true);
        if (installedLabel_) installedLabel_->SetText(QStringLiteral("Yes"));
        catalogue_[index].installed = "true";
      }
      return true;
    case WMU_MOD_SELECT_FIRST:
      SelectFirst();
      return true;
    case WMU_MOD_RELOAD:
      Reload();
      return true;
    case WMU_MOD_STATUS:
      UpdatePlaceholders(static_cast<int>(wParam));
      return true;
    default:
      return false;
  }
}

}  // namespace kv
