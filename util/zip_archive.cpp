#include "util/zip_archive.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "util/files.h"
#include "util/messages.h"

namespace kv {

// The bytes of an archive held in memory, as a read-only stream for minizip's callbacks.
struct MemoryStream {
  std::string bytes;
  ZPOS64_T position = 0;
};

struct ZipArchive::Handle {
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (zip != nullptr) unzClose(zip);
  }

  // Where an entry starts, what it should inflate to, and when it was changed, as the
  // archive's directory records them.
  struct Stored {
    unz64_file_pos position{};
    ZPOS64_T size = 0;
    tm_unz date{};
  };

  unzFile zip = nullptr;
  std::string path;
  MemoryStream memory;
  std::vector<Stored> entries;
};

namespace {

voidpf OpenMemory(voidpf opaque, const void*, int) { return opaque; }

uLong ReadMemory(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* memory = static_cast<MemoryStream*>(stream);
  if (memory->position >= memory->bytes.size()) return 0;
  const std::size_t count = std::min<std::size_t>(size, memory->bytes.size() - memory->position);
  std::memcpy(buffer, memory->bytes.data() + memory->position, count);
  memory->position += count;
  return static_cast<uLong>(count);
}

uLong WriteMemory(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T TellMemory(voidpf, voidpf stream) { return static_cast<MemoryStream*>(stream)->position; }

long SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* memory = static_cast<MemoryStream*>(stream);
  ZPOS64_T base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = memory->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = memory->bytes.size(); break;
    default: return -1;
  }
  if (offset > memory->bytes.size() - base) return -1;
  memory->position = base + offset;
  return 0;
}

int CloseMemory(voidpf, voidpf) { return 0; }
int MemoryError(voidpf, voidpf) { return 0; }

// Streams the entry that `zip` stands at to `write`, at most `maxBytes` of it. The entry's
// checksum is checked once all of it was read; minizip checks it only when the stored size
// was reached, so an entry that ends early is caught by its size.
template <class Write>
Status InflateCurrent(unzFile zip, const std::string& archive, std::string_view name, ZPOS64_T storedSize,
                      std::size_t maxBytes, Write&& write) {
  if (storedSize > maxBytes) return Fail(FailureKind::TooLarge, msg::ArchiveEntryUnreadable(archive, name));
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
  if (status && total != storedSize) status = Fail(FailureKind::Invalid, msg::ArchiveEntryUnreadable(archive, name));
  if (unzCloseCurrentFile(zip) != UNZ_OK && status) {
    status = Fail(FailureKind::Invalid, msg::ArchiveEntryUnreadable(archive, name));
  }
  return status;
}

// Zip tools on Unix keep the file's mode in the upper half of the external attributes.
bool IsStoredLink(const unz_file_info64& info) {
  constexpr uLong kMadeOnUnix = 3;
  constexpr uLong kFileTypeMask = 0170000;
  constexpr uLong kSymbolicLink = 0120000;
  return (info.version >> 8) == kMadeOnUnix && ((info.external_fa >> 16) & kFileTypeMask) == kSymbolicLink;
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
  auto handle = std::make_unique<Handle>();
  handle->path = path;
  handle->zip = unzOpen64(path.c_str());
  return ReadDirectory(std::move(handle));
}

Result<ZipArchive> ZipArchive::OpenBytes(std::string bytes, const std::string& label) {
  auto handle = std::make_unique<Handle>();
  handle->path = label;
  handle->memory.bytes = std::move(bytes);
  zlib_filefunc64_def io{};
  io.zopen64_file = OpenMemory;
  io.zread_file = ReadMemory;
  io.zwrite_file = WriteMemory;
  io.ztell64_file = TellMemory;
  io.zseek64_file = SeekMemory;
  io.zclose_file = CloseMemory;
  io.zerror_file = MemoryError;
  io.opaque = &handle->memory;
  handle->zip = unzOpen2_64(label.c_str(), &io);
  return ReadDirectory(std::move(handle));
}

Result<ZipArchive> ZipArchive::ReadDirectory(std::unique_ptr<Handle> handle) {
  if (handle->zip == nullptr) return Fail(FailureKind::Invalid, msg::ArchiveUnreadable(handle->path));
  unzFile zip = handle->zip;
  ZipArchive archive(std::move(handle));
  Handle& opened = *archive.handle_;
  int status = unzGoToFirstFile(zip);
  for (; status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    std::string name(info.size_filename, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      break;
    }
    Handle::Stored stored{.size = info.uncompressed_size, .date = info.tmu_date};
    if (unzGetFilePos64(zip, &stored.position) != UNZ_OK) break;
    opened.entries.push_back(stored);
    if (IsStoredLink(info)) archive.links_.push_back(name);
    archive.names_.push_back(std::move(name));
  }
  if (status != UNZ_END_OF_LIST_OF_FILE) return Fail(FailureKind::Invalid, msg::ArchiveUnreadable(opened.path));
  return archive;
}

std::optional<std::size_t> ZipArchive::IndexOf(std::string_view name) const {
  for (std::size_t index = 0; index < names_.size(); ++index) {
    if (names_[index] == name) return index;
  }
  return std::nullopt;
}

bool ZipArchive::Contains(std::string_view name) const { return IndexOf(name).has_value(); }

std::optional<std::time_t> ZipArchive::ModifiedTime(std::size_t index) const {
  if (index >= handle_->entries.size()) return std::nullopt;
  const tm_unz& stored = handle_->entries[index].date;
  std::tm local{};
  local.tm_year = static_cast<int>(stored.tm_year) - 1900;
  local.tm_mon = static_cast<int>(stored.tm_mon);
  local.tm_mday = static_cast<int>(stored.tm_mday);
  local.tm_hour = static_cast<int>(stored.tm_hour);
  local.tm_min = static_cast<int>(stored.tm_min);
  local.tm_sec = static_cast<int>(stored.tm_sec);
  local.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&local);
  if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
  return seconds;
}

Status ZipArchive::GoToEntry(std::size_t index) const {
  if (index >= names_.size()) {
    return Fail(FailureKind::NotFound, msg::ArchiveEntryMissing(handle_->path, "#" + std::to_string(index)));
  }
  if (unzGoToFilePos64(handle_->zip, &handle_->entries[index].position) != UNZ_OK) {
    return Fail(FailureKind::Invalid, msg::ArchiveEntryUnreadable(handle_->path, names_[index]));
  }
  return {};
}

bool ZipArchive::IsLink(std::string_view name) const {
  for (const std::string& link : links_) {
    if (link == name) return true;
  }
  return false;
}

Result<std::string> ZipArchive::Read(std::string_view name, std::size_t maxBytes) const {
  const std::optional<std::size_t> index = IndexOf(name);
  if (!index) return Fail(FailureKind::NotFound, msg::ArchiveEntryMissing(handle_->path, name));
  return ReadAt(*index, maxBytes);
}

Result<std::string> ZipArchive::ReadAt(std::size_t index, std::size_t maxBytes) const {
  if (Status found = GoToEntry(index); !found) return std::move(found).failure();
  const std::string& name = names_[index];
  const ZPOS64_T storedSize = handle_->entries[index].size;
  std::string bytes;
  Status read = InflateCurrent(handle_->zip, handle_->path, name, storedSize, maxBytes,
                               [&bytes](const char* data, std::size_t size) {
                                 bytes.append(data, size);
                                 return true;
                               });
  if (!read) return std::move(read).failure();
  return bytes;
}

Status ZipArchive::Extract(std::string_view name, const std::string& path) const {
  const std::optional<std::size_t> index = IndexOf(name);
  if (!index) return Fail(FailureKind::NotFound, msg::ArchiveEntryMissing(handle_->path, name));
  return ExtractAt(*index, path);
}

Status ZipArchive::ExtractAt(std::size_t index, const std::string& path) const {
  if (Status found = GoToEntry(index); !found) return found;
  const std::string& name = names_[index];
  const ZPOS64_T storedSize = handle_->entries[index].size;
  MakeFoldersForPath(path);
  const std::string partial = path + ".part";
  std::FILE* out = OpenStreamForWriting(partial, WriteStart::Truncate);
  if (out == nullptr) return Fail(FailureKind::Io, msg::FileNotWritten(path));
  Status written = InflateCurrent(handle_->zip, handle_->path, name, storedSize, static_cast<std::size_t>(-1),
                                  [out](const char* data, std::size_t size) {
                                    return std::fwrite(data, 1, size, out) == size;
                                  });
  if (std::fclose(out) != 0 && written) written = Fail(FailureKind::Io, msg::FileNotWritten(path));
  std::error_code error;
  if (written) {
    std::filesystem::rename(partial, path, error);
    if (error) written = Fail(FailureKind::Io, msg::FileNotWritten(path));
  }
  if (!written) std::filesystem::remove(partial, error);
  return written;
}

}  // namespace kv
