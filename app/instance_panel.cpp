#include "app/instance_panel.h"

#include <QDir>
#include <QTimeZone>

#include "app/frame_wnd.h"
#include "dialogs/message_dialog.h"
#include "meta/version_loader.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "uilib/control.h"
#include "uilib/paint_manager.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

QString LastPlayedText(std::optional<std::int64_t> secondsSince1970, const QDateTime& now) {
  if (!secondsSince1970) return QStringLiteral("从未启动");
  const QDateTime when = QDateTime::fromSecsSinceEpoch(*secondsSince1970, now.timeZone());
  const QString time = when.toString(QStringLiteral("HH:mm"));
  const qint64 daysAgo = when.date().daysTo(now.date());
  if (daysAgo == 0) return QStringLiteral("今天 ") + time;
  if (daysAgo == 1) return QStringLiteral("昨天 ") + time;
  return when.toString(QStringLiteral("yyyy年M月d日 HH:mm"));
}

void InstancePanel::FindControls(CPaintManagerUI& manager) {
  const auto find = [&manager](const char* name) { return manager.FindControl(QString::fromLatin1(name)); };
  name_ = find("LB_InstanceName");
  details_ = find("VL_InstanceDetails");
  version_ = find("LB_InstanceVersion");
  loader_ = find("LB_InstanceLoader");
  lastPlayed_ = find("LB_LastPlayed");
  folderLabel_ = find("LB_InstanceFolder");
  openFolder_ = find("Btn_OpenFolder");
}

void InstancePanel::Show() {
  const std::string& name = frame_.SelectedInstanceName();
  const std::string& version = frame_.SelectedInstanceVersion();
  if (details_) details_->SetVisible(!name.empty());
  if (name.empty()) {
    folder_.clear();
    if (name_) name_->SetText(QStringLiteral("未选择游戏实例"));
    return;
  }
  const std::string& settingsPath = frame_.Services().settingsPath;
  const CInstanceList instances(settingsPath, false);
  const int index = instances.IndexOf(name);
  const std::optional<std::int64_t> lastPlayed =
      index < 0 ? std::nullopt : instances.Entries()[static_cast<std::size_t>(index)].lastPlayed;
  const QString loader = QString::fromStdString(LoaderInVersionId(version));
  folder_ = QDir::toNativeSeparators(
      QDir::cleanPath(QString::fromStdString(InstanceFolder(ReadSettings(settingsPath).gamePath, name))));

  if (name_) {
    name_->SetText(QString::fromStdString(name));
    name_->SetToolTip(QString::fromStdString(name));
  }
  if (version_) {
    version_->SetText(version.empty() ? QString::fromUtf8(msg::kTileNoVersion) : QString::fromStdString(version));
  }
  if (loader_) loader_->SetText(loader.isEmpty() ? QStringLiteral("无") : loader);
  if (lastPlayed_) lastPlayed_->SetText(LastPlayedText(lastPlayed, QDateTime::currentDateTime()));
  if (folderLabel_) {
    folderLabel_->SetText(folder_);
    folderLabel_->SetToolTip(folder_);
  }
}

bool InstancePanel::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || !openFolder_ || msg.pSender != openFolder_) return false;
  OpenFolder();
  return true;
}

void InstancePanel::OpenFolder() {
  const std::string& name = frame_.SelectedInstanceName();
  if (name.empty()) return;
  const std::string gamePath = ReadSettings(frame_.Services().settingsPath).gamePath;
  const std::string folder = InstanceFolder(gamePath, name);
  // The game makes the folder at its first start; the player may want to fill it before. A
  // name edited into the settings file by hand must not make a folder anywhere else.
  const bool inside = IsStrictlyInside(folder, InstancesRoot(gamePath));
  if (inside && !PathExists(folder)) MakeFoldersForPath(folder);
  const auto& open = frame_.Services().openFolder;
  if (!inside || !PathExists(folder) || !open || !open(folder_.toStdString())) {
    ShowMessageDialog(frame_.GetHWND(), QStringLiteral("无法打开实例文件夹:\n") + folder_, MessageKind::Warning,
                      kPromptCaption, kMessageOk);
  }
}

}  // namespace kv
