#pragma once

#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <map>
#include <mutex>
#include <set>
#include <optional>
#include <string_view>

#include "uilib/ui_types.h"

// Where layouts and images come from: the files of a skin zip (normally the one embedded in
// the executable), files added one by one, or a folder on disk. Names are written with '\' or
// '/' in any case ("image\Logo.png" and "IMAGE/logo.png" are the same file). A name that is
// an absolute path is a file of the disk, read as it stands (pictures the program fetched,
// such as mod icons).
namespace kv::ui {

class SkinResources {
 public:
  static SkinResources& Instance();

  // Adds every file of a zip archive; false (and nothing added) when it is not a readable zip.
  bool AddZip(std::string_view archive);
  void AddFile(const QString& name, QByteArray bytes);
  // Files not found among the added ones are read from this folder.
  void SetFolder(const QString& folder);
  // Forgets every file, the folder and the cached images.
  void Clear();

  std::optional<QByteArray> Read(const QString& name) const;
  bool Exists(const QString& name) const { return Read(name).has_value(); }

  // The image `name` with pixels equal to `mask` (full ARGB, non-zero) made transparent; null
  // when the file is missing or not an image. Cached per name and mask; GUI thread only.
  const QPixmap* Image(const QString& name, ARGB mask = 0);

  // The colour key an image gets wherever it is used without one (a layout's <Image mask>).
  void SetDefaultMask(const QString& name, ARGB mask);

  static QString NormalizeName(const QString& name);

 private:
  SkinResources() = default;

  mutable std::mutex mutex_;
  QHash<QString, QByteArray> files_;
  QString folder_;
  std::map<QString, QPixmap> images_;  // node-based: handed-out pointers stay valid
  std::set<QString> missingImages_;
  QHash<QString, ARGB> defaultMasks_;
};

}  // namespace kv::ui
