#include "util/zip_archive.h"

#include <minizip/unzip.h>

#include <filesystem>
#include <fstream>

#include "util/files.h"
#include "util/messages.h"

namespace kv {

struct ZipArchive::Handle {
  explicit Handle(unzFile opened) : zip(opened) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { unzClose(zip); }

  unzFile zip;
  std::string path;
};

namespace {

// Streams the entry that `zip` stands at to `write`, at most `maxBytes` of it. The entry's
// checksum is checked once all of it was read.
template <class Write>
Status InflateCurrent(unzFile zip, const std::string& archive, std::string_view name, std::size_t maxBytes,
                      Write&& write) {
  if (unzOpenCurrentFile(zip) != UNZ_OK) return Fail(FailureKind::Invalid, msg::ArchiveEntryUnreadable(archive, name));
  std::vector<char> buffer(64 * 1024);
  std::size_t total = 0;
  Status status;
  for (;;) {
    const int read = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (read == 0) break;
    if (read < 0) {
      status = Fail(FailureKind::Invalid, msg::ArchiveEntryUnreadable(archive, name));
      break;
    }
    total += static_cast<std::size_t>(read);
    if (total > maxBytes) {
      status = Fail(FailureKind::TooLarge, msg::ArchiveEntryUnreadable(archive, name));
      break;
    }
    if (!write(buffer.data(), static_cast<std::size_t>(read))) {
      status = Fail(FailureKind::Io, msg::ArchiveEntryUnreadable(archive, name));
      break;
    }
  }
  if (unzCloseCurrentFile(zip) != UNZ_OK && status) {
    status = Fail(FailureKind::Invalid, msg::ArchiveEntryUnreadable(archive, name));
  }
  return status;
}

}  // namespace

std::optional<std::string> SafeEntryName(std::string_view name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || path.front() == '/' || path.find(':') != std::string::npos) return std::nullopt;
  if (path.find('\0') != std::string::npos) return std::nullopt;
  const std::size_t end = path.back() == '/' ? path.size() - 1 : path.size();
  std::size_t start = 0;
  while (start <= end) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos || slash > end) slash = end;
    const std::string_view segment = std::string_view(path).substr(start, slash - start);
    if (segment.empty() || segment == "." || segment == "..") return std::nullopt;
    start = slash + 1;
  }
  return path;
}

ZipArchive::ZipArchive(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
ZipArchive::ZipArchive(ZipArchive&&) noexcept = default;
ZipArchive& ZipArchive::operator=(ZipArchive&&) noexcept = default;
ZipArchive::~ZipArchive() = default;

Result<ZipArchive> ZipArchive::Open(const std::string& path) {
  unzFile zip = unzOpen64(path.c_str());
  if (zip == nullptr) return Fail(FailureKind::Invalid, msg::ArchiveUnreadable(path));
  auto handle = std::make_unique<Handle>(zip);
  handle->path = path;
  ZipArchive archive(std::move(handle));
  int status = unzGoToFirstFile(zip);
  for (; status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    std::string name(info.size_filename, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      break;
    }
    archive.names_.push_back(std::move(name));
  }
  if (status != UNZ_END_OF_LIST_OF_FILE) return Fail(FailureKind::Invalid, msg::ArchiveUnreadable(path));
  return archive;
}

bool ZipArchive::Contains(std::string_view name) const {
  for (const std::string& entry : names_) {
    if (entry == name) return true;
  }
  return false;
}

Result<std::string> ZipArchive::Read(std::string_view name, std::size_t maxBytes) const {
  // A NUL inside the name would make minizip look for a shorter one.
  if (!Contains(name) || name.find('\0') != std::string_view::npos ||
      unzLocateFile(handle_->zip, std::string(name).c_str(), 1) != UNZ_OK) {
    return Fail(FailureKind::NotFound, msg::ArchiveEntryMissing(handle_->path, name));
  }
  std::string bytes;
  Status read = InflateCurrent(handle_->zip, handle_->path, name, maxBytes, [&bytes](const char* data, std::size_t size) {
    bytes.append(data, size);
    return true;
  });
  if (!read) return std::move(read).failure();
  return bytes;
}

Status ZipArchive::Extract(std::string_view name, const std::string& path) const {
  if (!Contains(name) || name.find('\0') != std::string_view::npos ||
      unzLocateFile(handle_->zip, std::string(name).c_str(), 1) != UNZ_OK) {
    return Fail(FailureKind::NotFound, msg::ArchiveEntryMissing(handle_->path, name));
  }
  MakeFoldersForPath(path);
  const std::string partial = path + ".part";
  Status written;
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(FailureKind::Io, msg::FileNotWritten(path));
    written = InflateCurrent(handle_->zip, handle_->path, name, static_cast<std::size_t>(-1),
                             [&out](const char* data, std::size_t size) {
                               return static_cast<bool>(out.write(data, static_cast<std::streamsize>(size)));
                             });
    if (written && !out.flush()) written = Fail(FailureKind::Io, msg::FileNotWritten(path));
  }
  std::error_code error;
  if (written) {
    std::filesystem::rename(partial, path, error);
    if (error) written = Fail(FailureKind::Io, msg::FileNotWritten(path));
  }
  if (!written) std::filesystem::remove(partial, error);
  return written;
}

}  // namespace kv
