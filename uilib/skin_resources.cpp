#include "uilib/skin_resources.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QImage>

#include "uilib/zip_reader.h"

namespace kv::ui {
namespace {

// Finds `relative` under `folder`, matching each path component without regard to case when
// no exact match exists.
std::optional<QString> FindInFolder(const QString& folder, const QString& relative) {
  const QString exact = QDir(folder).filePath(relative);
  if (QFileInfo(exact).isFile()) return exact;
  QDir dir(folder);
  const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    const QStringList names = dir.entryList(last ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot);
    QString match;
    for (const QString& n : names) {
      if (n.compare(parts[i], Qt::CaseInsensitive) == 0) {
        match = n;
        break;
      }
    }
    if (match.isEmpty()) return std::nullopt;
    if (last) return dir.filePath(match);
    if (!dir.cd(match)) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<QString> DiskPath(const QString& name) {
  const QString path = QDir::fromNativeSeparators(name.trimmed());
  if (!QDir::isAbsolutePath(path)) return std::nullopt;
  return path;
}

}  // namespace

SkinResources& SkinResources::Instance() {
  static SkinResources resources;
  return resources;
}

QString SkinResources::NormalizeName(const QString& name) {
  QString n = name.trimmed();
  n.replace(u'\\', u'/');
  while (n.startsWith(u"./")) n.remove(0, 2);
  while (n.startsWith(u'/')) n.remove(0, 1);
  return n.toLower();
}

bool SkinResources::AddZip(std::string_view archive) {
  auto entries = ReadZipEntries(archive);
  if (!entries) return false;
  std::lock_guard lock(mutex_);
  for (auto& [name, bytes] : *entries) files_.insert(NormalizeName(QString::fromUtf8(name)), std::move(bytes));
  images_.clear();
  missingImages_.clear();
  return true;
}

void SkinResources::AddFile(const QString& name, QByteArray bytes) {
  std::lock_guard lock(mutex_);
  const QString key = NormalizeName(name);
  files_.insert(key, std::move(bytes));
  images_.clear();
  missingImages_.clear();
}

void SkinResources::SetFolder(const QString& folder) {
  std::lock_guard lock(mutex_);
  folder_ = folder;
  images_.clear();
  missingImages_.clear();
}

void SkinResources::Clear() {
  std::lock_guard lock(mutex_);
  files_.clear();
  folder_.clear();
  images_.clear();
  missingImages_.clear();
}

void SkinResources::SetDefaultMask(const QString& name, ARGB mask) {
  defaultMasks_.insert(NormalizeName(name), mask);
}

std::optional<QByteArray> SkinResources::Read(const QString& name) const {
  if (const std::optional<QString> path = DiskPath(name)) {
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
  }
  const QString key = NormalizeName(name);
  if (key.isEmpty()) return std::nullopt;
  std::lock_guard lock(mutex_);
  if (auto it = files_.constFind(key); it != files_.constEnd()) return *it;
  // A skin folder never hands out files outside itself.
  if (folder_.isEmpty() || key.split(u'/').contains(u"..")) return std::nullopt;
  QString original = name.trimmed();
  original.replace(u'\\', u'/');
  while (original.startsWith(u'/')) original.remove(0, 1);
  const std::optional<QString> path = FindInFolder(folder_, original);
  if (!path) return std::nullopt;
  QFile file(*path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

const QPixmap* SkinResources::Image(const QString& name, ARGB mask) {
  static const bool releaseAtExit = [] {
    // Pixmaps must go before the application that made them.
    qAddPostRoutine([] {
      SkinResources& resources = Instance();
      std::lock_guard lock(resources.mutex_);
      resources.images_.clear();
    });
    return true;
  }();
  (void)releaseAtExit;
  const std::optional<QString> diskPath = DiskPath(name);
  if (mask == 0) mask = defaultMasks_.value(NormalizeName(name), 0);
  const QString key = diskPath.value_or(NormalizeName(name)) + u'|' + QString::number(mask, 16);
  if (auto it = images_.find(key); it != images_.end()) return &it->second;
  if (missingImages_.count(key)) return nullptr;
  const std::optional<QByteArray> bytes = Read(name);
  QImage image;
  if (!bytes || !image.loadFromData(*bytes)) {
    // A file of the disk may yet arrive.
    if (!diskPath) missingImages_.insert(key);
    return nullptr;
  }
  if (mask != 0) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key32 = static_cast<QRgb>(mask);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        if (line[x] == key32) line[x] = 0;
      }
    }
  }
  return &images_.emplace(key, QPixmap::fromImage(std::move(image))).first->second;
}

}  // namespace kv::ui
