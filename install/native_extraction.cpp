#include "install/native_extraction.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/diagnostic_log.h"
#include "util/ascii_text.h"
#include "util/files.h"
#include "util/messages.h"
#include "util/zip_archive.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// The archive's time for a file it unpacked.
void SetFileTime(const std::string& path, std::time_t seconds) {
  std::error_code ignored;
  const auto when = std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(seconds));
  fs::last_write_time(PathOf(path), when, ignored);
}

enum class ItemOutcome { Written, Failed, Refused, Excluded };

// A jar or a zip archive by its name.
bool HasZipExtension(std::string_view path) {
  const std::string extension = LowerExtension(path);
  return extension == "jar" || extension == "zip";
}

bool IsExcluded(const std::string& relative, const std::vector<std::string>& exclude) {
  for (const std::string& prefix : exclude) {
    if (!prefix.empty() && relative.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

// Whether writing `path` would write the archive being read: the same file under another
// name (a hard link, "./", a case-folding file system) included. A link at `path` is replaced
// by the write, not followed, so it never counts.
bool IsTheArchive(const std::string& path, const fs::path& archive) {
  std::error_code error;
  const fs::path target = PathOf(path);
  if (fs::is_symlink(fs::symlink_status(target, error))) return false;
  return fs::equivalent(target, archive, error) && !error;
}

ItemOutcome ExtractItem(const ZipArchive& zip, std::size_t index, const std::string& folder, const fs::path& archive,
                        const std::vector<std::string>& exclude) {
  const std::string& name = zip.EntryNames()[index];
  const std::optional<std::string> relative = SafeEntryName(name);
  if (!relative) {
    LogLine(LogLevel::Warning, "archive item refused, it would leave the folder: " + name);
    return ItemOutcome::Refused;
  }
  if (IsExcluded(*relative, exclude)) return ItemOutcome::Excluded;
  const std::string path = folder + *relative;
  if (IsTheArchive(path, archive)) {
    LogLine(LogLevel::Warning, "archive item refused, it would overwrite the archive itself: " + path);
    return ItemOutcome::Refused;
  }
  // A folder planted as a link would carry the item out of the folder it is unpacked into.
  if (const Status inside = CheckNoLinkBetween(folder, path); !inside) {
    LogLine(LogLevel::Warning, "archive item refused: " + inside.message());
    return ItemOutcome::Refused;
  }
  MakeFoldersForPath(path);
  if (relative->back() == '/') {
    return PathExists(path) ? ItemOutcome::Written : ItemOutcome::Failed;
  }
  if (const Status written = zip.ExtractAt(index, path); !written) {
    LogLine(LogLevel::Warning, "archive item could not be written: " + path + ": " + written.message());
    return ItemOutcome::Failed;
  }
  if (const std::optional<std::time_t> modified = zip.ModifiedTime(index)) SetFileTime(path, *modified);
  return ItemOutcome::Written;
}

// Whether an archive's end record, with its comment, ends exactly where the file does. The zip
// reader finds that record by its signature and takes one whose last bytes are missing as if
// they were there, so an archive that lost only its last bytes would pass for whole.
bool EndRecordEndsTheFile(const std::string& archivePath) {
  constexpr std::size_t kEndRecordBytes = 22;
  constexpr std::size_t kLongestComment = 0xFFFF;
  std::ifstream in(PathOf(archivePath), std::ios::binary | std::ios::ate);
  const std::streamoff size = in.tellg();
  if (!in || size < static_cast<std::streamoff>(kEndRecordBytes)) return false;
  const std::size_t tailBytes =
      static_cast<std::size_t>(std::min<std::streamoff>(size, kEndRecordBytes + kLongestComment));
  std::string tail(tailBytes, '\0');
  in.seekg(size - static_cast<std::streamoff>(tailBytes));
  if (!in.read(tail.data(), static_cast<std::streamsize>(tailBytes))) return false;
  for (std::size_t at = 0; at + kEndRecordBytes <= tail.size(); ++at) {
    if (tail.compare(at, 4, "PK\x05\x06") != 0) continue;
    const std::size_t comment = static_cast<unsigned char>(tail[at + 20]) |
                                static_cast<std::size_t>(static_cast<unsigned char>(tail[at + 21])) << 8;
    if (at + kEndRecordBytes + comment == tail.size()) return true;
  }
  return false;
}

}  // namespace

ExtractionResult ExtractArchive(const std::string& archivePath, const std::string& folder,
                                const std::vector<std::string>& exclude) {
  ExtractionResult result;
  const Result<ZipArchive> zip = ZipArchive::Open(archivePath);
  if (!zip) {
    LogLine(LogLevel::Warning, "archive could not be opened: " + archivePath);
    return result;
  }
  result.opened = true;
  std::string base = folder;
  if (!base.empty() && base.back() != '/' && base.back() != '\\') base += '/';
  const fs::path archive = PathOf(archivePath);
  for (std::size_t index = 0; index < zip->EntryNames().size(); ++index) {
    switch (ExtractItem(*zip, index, base, archive, exclude)) {
      case ItemOutcome::Written: ++result.written; break;
      case ItemOutcome::Failed: ++result.failed; break;
      case ItemOutcome::Refused: ++result.refused; break;
      case ItemOutcome::Excluded: ++result.excluded; break;
    }
  }
  return result;
}

Status UnpackDownloadedArchive(const DownloadItem& item) {
  const ExtractionResult result = ExtractArchive(item.archivePath, item.extractFolder, item.extractExclude);
  if (result.opened && result.failed == 0) {
    if (result.refused > 0) {
      LogLine(LogLevel::Warning,
              "Unpacking " + item.archivePath + ": " + std::to_string(result.refused) + " items refused");
    }
    return {};
  }
  LogLine(LogLevel::Error, "Unpacking " + item.archivePath + " failed: opened " + std::to_string(result.opened) +
                               ", failed " + std::to_string(result.failed) + "; the archive is removed");
  // A native jar or legacy archive on disk is never unpacked again: only a new download will.
  std::error_code ignored;
  fs::remove(PathOf(item.archivePath), ignored);
  if (!result.opened) return Fail(FailureKind::Invalid, msg::kArchiveUnopenable);
  return Fail(FailureKind::Io, msg::ArchiveItemsNotWritten(result.failed));
}

Status CheckDownloadedFile(const DownloadItem& item, const std::string& file) {
  if (!item.isArchive && !HasZipExtension(item.path)) return {};
  // Opening reads the whole directory, every item's entry, without inflating anything.
  if (!ZipArchive::Open(file) || !EndRecordEndsTheFile(file)) return Fail(FailureKind::Invalid, msg::kNotAWholeArchive);
  return {};
}

}  // namespace kv
