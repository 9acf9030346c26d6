#pragma once

#include <QString>
#include <string>
#include <vector>

#include "uilib/window.h"

// The platform's dialogs for picking a program, a folder and a modpack, behind an interface that tests
// replace (an offscreen run cannot answer a native dialog).
namespace kv {

class FilePickers {
 public:
  virtual ~FilePickers() = default;
  // The programs the player chose, full paths; false when cancelled (`paths` unchanged).
  virtual bool BrowseForExecutable(ui::HWND owner, std::vector<std::string>& paths) = 0;
  // The folder the player chose; false when cancelled (`path` unchanged).
  virtual bool BrowseForFolder(const QString& title, std::string& path, ui::HWND owner) = 0;
  // Where to save a file, starting from the suggested path in `path`; false when cancelled
  // (`path` unchanged).
  virtual bool BrowseForSaveFile(const QString& title, std::string& path, ui::HWND owner) = 0;
  // The modpack (.mrpack) the player chose; false when cancelled (`path` unchanged).
  virtual bool BrowseForPack(ui::HWND owner, std::string& path) = 0;
};

// Qt's file dialogs. Programs are offered by the host's executable suffix: "*.exe" where
// programs have one, every file otherwise.
class QtFilePickers : public FilePickers {
 public:
  bool BrowseForExecutable(ui::HWND owner, std::vector<std::string>& paths) override;
  bool BrowseForFolder(const QString& title, std::string& path, ui::HWND owner) override;
  bool BrowseForSaveFile(const QString& title, std::string& path, ui::HWND owner) override;
  bool BrowseForPack(ui::HWND owner, std::string& path) override;
};

}  // namespace kv
