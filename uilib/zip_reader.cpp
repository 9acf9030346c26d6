#include "uilib/zip_reader.h"

#include "util/zip_archive.h"

namespace kv::ui {

std::optional<std::vector<std::pair<std::string, QByteArray>>> ReadZipEntries(std::string_view archive,
                                                                            std::size_t maxTotalBytes) {
  Result<ZipArchive> zip = ZipArchive::OpenBytes(std::string(archive), "skin");
  if (!zip) return std::nullopt;
  std::vector<std::pair<std::string, QByteArray>> entries;
  std::size_t total = 0;
  const std::vector<std::string>& names = zip->EntryNames();
  for (std::size_t index = 0; index < names.size(); ++index) {
    const std::string& name = names[index];
    if (name.empty() || name.back() == '/' || name.back() == '\\') continue;
    Result<std::string> bytes = zip->ReadAt(index, maxTotalBytes - total);
    if (!bytes) return std::nullopt;
    total += bytes->size();
    entries.emplace_back(name, QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size())));
  }
  return entries;
}

}  // namespace kv::ui
