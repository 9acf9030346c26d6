#include "install/native_extraction.h"

#include <minizip/unzip.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/diagnostic_log.h"
#include "util/files.h"

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

bool IsExcluded(const std::string& relative, const std::vector<std::string>& exclude) {
  for (const std::string& prefix : exclude) {
    if (!prefix.empty() && relative.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

ItemOutcome ExtractCurrentItem(unzFile zip, const std::string& folder, const std::vector<std::string>& exclude) {
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
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    switch (ExtractCurrentItem(zip, base, exclude)) {
      case ItemOutcome::Written: ++result.written; break;
      case ItemOutcome::Failed: ++result.failed; break;
      case ItemOutcome::Refused: ++result.refused; break;
      case ItemOutcome::Excluded: ++result.excluded; break;
    }
  }
  unzClose(zip);
  return result;
}

void UnpackDownloadedArchive(const DownloadItem& item) {
  const ExtractionResult result = ExtractArchive(item.archivePath, item.extractFolder, item.extractExclude);
  if (!result.opened || result.failed > 0 || result.refused > 0) {
    LogLine(LogLevel::Warning, "Unpacking " + item.archivePath + ": opened " + std::to_string(result.opened) +
                                   ", failed " + std::to_string(result.failed) + ", refused " +
                                   std::to_string(result.refused));
  }
}

}  // namespace kv
