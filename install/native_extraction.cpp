#include "install/native_extraction.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <chrono>
#include <cstring>
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

namespace kv {
namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// The stored name as a path below the destination, with "/" as separator; nothing when the
// name is empty, absolute, carries a drive, or has a ".." segment.
std::optional<std::string> RelativeItemPath(std::string name) {
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  if (name.empty() || name.front() == '/') return std::nullopt;
  if (name.size() >= 2 && name[1] == ':') return std::nullopt;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (std::string_view(name).substr(start, end - start) == "..") return std::nullopt;
    start = end + 1;
  }
  return name;
}

// The archive stores local wall-clock time in MS-DOS form.
void SetFileTime(const std::string& path, const tm_unz& stored) {
  std::tm local{};
  local.tm_year = static_cast<int>(stored.tm_year) - 1900;
  local.tm_mon = static_cast<int>(stored.tm_mon);
  local.tm_mday = static_cast<int>(stored.tm_mday);
  local.tm_hour = static_cast<int>(stored.tm_hour);
  local.tm_min = static_cast<int>(stored.tm_min);
  local.tm_sec = static_cast<int>(stored.tm_sec);
  local.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&local);
  if (seconds == static_cast<std::time_t>(-1)) return;
  std::error_code ignored;
  const auto when = std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(seconds));
  fs::last_write_time(PathOf(path), when, ignored);
}

// Inflates the current item into `path`. False, with no partial file left, on any error.
bool WriteCurrentItem(unzFile zip, const std::string& path) {
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
  // A link planted where the file goes is replaced, never followed elsewhere.
  std::FILE* out = OpenStreamForWriting(path, WriteStart::Truncate);
  const bool created = out != nullptr;
  bool ok = created;
  std::vector<char> buffer(64 * 1024);
  while (ok) {
    const int read = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (read == 0) break;
    ok = read > 0 && std::fwrite(buffer.data(), 1, static_cast<std::size_t>(read), out) == static_cast<std::size_t>(read);
  }
  if (created) ok = std::fclose(out) == 0 && ok;
  // Closing checks the CRC once the whole item has been read.
  if (unzCloseCurrentFile(zip) != UNZ_OK) ok = false;
  std::error_code error;
  if (!ok && created) fs::remove(PathOf(path), error);
  return ok;
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

ItemOutcome ExtractCurrentItem(unzFile zip, const std::string& folder, const fs::path& archive,
                               const std::vector<std::string>& exclude) {
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return ItemOutcome::Failed;
  }
  std::vector<char> name(info.size_filename + 1, '\0');
  if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr,
                              0, nullptr, 0) != UNZ_OK) {
    return ItemOutcome::Failed;
  }
  // A NUL inside a stored name would hide the rest of it.
  if (std::strlen(name.data()) != info.size_filename) return ItemOutcome::Refused;
  const std::optional<std::string> relative = RelativeItemPath(name.data());
  if (!relative) {
    LogLine(LogLevel::Warning, "archive item refused, it would leave the folder: " + std::string(name.data()));
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
  if (!WriteCurrentItem(zip, path)) {
    LogLine(LogLevel::Warning, "archive item could not be written: " + path);
    return ItemOutcome::Failed;
  }
  SetFileTime(path, info.tmu_date);
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
  unzFile zip = unzOpen64(archivePath.c_str());
  if (zip == nullptr) {
    LogLine(LogLevel::Warning, "archive could not be opened: " + archivePath);
    return result;
  }
  result.opened = true;
  std::string base = folder;
  if (!base.empty() && base.back() != '/' && base.back() != '\\') base += '/';
  const fs::path archive = PathOf(archivePath);
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    switch (ExtractCurrentItem(zip, base, archive, exclude)) {
      case ItemOutcome::Written: ++result.written; break;
      case ItemOutcome::Failed: ++result.failed; break;
      case ItemOutcome::Refused: ++result.refused; break;
      case ItemOutcome::Excluded: ++result.excluded; break;
    }
  }
  unzClose(zip);
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
  unzFile zip = unzOpen64(file.c_str());
  if (zip == nullptr) return Fail(FailureKind::Invalid, msg::kNotAWholeArchive);
  // Walking the directory reads every item's entry, without inflating anything.
  int status = unzGoToFirstFile(zip);
  while (status == UNZ_OK) status = unzGoToNextFile(zip);
  unzClose(zip);
  if (status != UNZ_END_OF_LIST_OF_FILE || !EndRecordEndsTheFile(file)) {
    return Fail(FailureKind::Invalid, msg::kNotAWholeArchive);
  }
  return {};
}

}  // namespace kv
