#include "dialogs/file_pickers.h"

#include <QFileDialog>

#include "platform/platform_profile.h"

namespace kv {

bool QtFilePickers::BrowseForExecutable(ui::HWND owner, std::vector<std::string>& paths) {
  const std::string& suffix = PlatformProfile::Host().executableSuffix;
  const QString filter = suffix.empty() ? QStringLiteral("程序 (*)")
                                        : QStringLiteral("%1(*%2)").arg(QString::fromStdString(suffix.substr(1)),
                                                                        QString::fromStdString(suffix));
  const QString chosen = QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
  if (chosen.isEmpty()) return false;
  paths.push_back(chosen.toStdString());
  return true;
}

bool QtFilePickers::BrowseForFolder(const QString& title, std::string& path, ui::HWND owner) {
  const QString chosen = QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty()) return false;
  path = chosen.toStdString();
  return true;
}

bool QtFilePickers::BrowseForSaveFile(const QString& title, std::string& path, ui::HWND owner) {
  const QString chosen = QFileDialog::getSaveFileName(owner, title, QString::fromStdString(path),
                                                      QStringLiteral("日志文件 (*.log *.txt);;所有文件 (*)"));
  if (chosen.isEmpty()) return false;
  path = chosen.toStdString();
  return true;
}

bool QtFilePickers::BrowseForPack(ui::HWND owner, std::string& path) {
  const QString chosen =
      QFileDialog::getOpenFileName(owner, QStringLiteral("导入整合包"), QString(), QStringLiteral("Modrinth 整合包 (*.mrpack)"));
  if (chosen.isEmpty()) return false;
  path = chosen.toStdString();
  return true;
}

}  // namespace kv
