#include "util/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "util/messages.h"

namespace kv {

bool PathExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat info {};
  return ::stat(std::string(path).c_str(), &info) == 0;
}

std::uint64_t GetFileSize(std::string_view path) {
  struct stat info {};
  if (path.empty() || ::stat(std::string(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return 0;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::string> ReadWholeFile(std::string_view path) {
  const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // Only a regular file has contents to read: a folder, a device or a pipe in its place is
  // treated as unreadable, never waited on.
  struct stat info {};
  std::string bytes;
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char block[65536];
  while (ok) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n > 0) {
      bytes.append(block, static_cast<std::size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      ok = false;
    }
  }
  ::close(fd);
  if (!ok || bytes.empty()) return std::nullopt;
  return bytes;
}

void SplitPath(std::string_view path, std::string& folder, std::string& name) {
  std::size_t cut = path.find_last_of("/\\");
  if (cut == std::string_view::npos) {
    // A drive letter alone ("C:name") still belongs to the folder part.
    cut = (path.size() >= 2 && path[1] == ':') ? 1 : std::string_view::npos;
  }
  std::size_t split = cut == std::string_view::npos ? 0 : cut + 1;
  folder.append(path.substr(0, split));
  name.append(path.substr(split));
}

bool MakeFoldersForPath(std::string_view path) {
  std::string folder;
  std::string name;
  SplitPath(path, folder, name);
  for (char& ch : folder) {
    if (ch == '\\') ch = '/';
  }
  // Mostly the folder is there already: one look instead of one for each of its parents.
  if (folder.size() > 1 && PathExists(folder)) return true;
  for (std::size_t slash = folder.find('/'); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    if (slash == 0) continue;  // the root of an absolute path
    std::string prefix = folder.substr(0, slash);
    if (!PathExists(prefix)) ::mkdir(prefix.c_str(), 0755);
  }
  return true;
}

namespace {

// The path that a write through a link changes: the end of its chain of symbolic links, `path`
// itself when it is not a link.
std::string LinkTarget(const std::string& path) {
  namespace fs = std::filesystem;
  std::string target = path;
  std::error_code error;
  // A chain of links ends somewhere; a loop is cut after a generous number of steps.
  for (int step = 0; step < 40 && fs::is_symlink(target, error); ++step) {
    const fs::path next = fs::read_symlink(target, error);
    if (error) break;
    target = (next.is_absolute() ? next : fs::path(target).parent_path() / next).string();
  }
  return target;
}

bool WriteAll(int fd, const char* data, std::size_t left) {
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// A new file beside its destination that takes the bytes and then the destination's place by a
// rename. The temporary name is made exclusively, so a link planted there is never followed; the
// rename replaces whatever has the destination's name, a link included, and leaves its target.
class ReplacingFile {
 public:
  ReplacingFile(const std::string& destination, unsigned mode) : destination_(destination) {
    temp_ = destination + ".XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    created_ = fd_ >= 0;
    if (created_) ::fchmod(fd_, static_cast<mode_t>(mode));
  }
  ~ReplacingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (created_ && !committed_) ::unlink(temp_.c_str());
  }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Opened() const { return fd_ >= 0; }
  bool Append(const char* data, std::size_t size) { return Opened() && WriteAll(fd_, data, size); }
  // Puts the file in place; `sync` first makes its bytes durable.
  bool Commit(bool sync) {
    if (!Opened()) return false;
    bool ok = !sync || ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    committed_ = ok && ::rename(temp_.c_str(), destination_.c_str()) == 0;
    return committed_;
  }

 private:
  std::string destination_;
  std::string temp_;
  int fd_ = -1;
  bool created_ = false;
  bool committed_ = false;
};

// The mode a replacement keeps: that of the file at `path` itself, never that of a link's
// target; 0644 for a new file or in place of a link.
unsigned ModeOfReplaced(const std::string& path) {
  struct stat old {};
  if (::lstat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return 0644;
  return old.st_mode & 07777;
}

bool Replace(const std::string& path, std::string_view bytes, unsigned mode) {
  ReplacingFile file(path, mode);
  return file.Append(bytes.data(), bytes.size()) && file.Commit(true);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::optional<unsigned> mode) {
  return Replace(path, bytes, mode.value_or(ModeOfReplaced(path)));
}

bool WriteFileThroughLink(const std::string& linkOrPath, std::string_view bytes, std::optional<unsigned> mode) {
  const std::string path = LinkTarget(linkOrPath);
  return Replace(path, bytes, mode.value_or(ModeOfReplaced(path)));
}

bool CopyFileAtomically(const std::string& from, const std::string& to) {
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (source < 0) return false;
  struct stat info {};
  bool ok = ::fstat(source, &info) == 0 && S_ISREG(info.st_mode);
  ReplacingFile copy(to, 0644);
  char block[65536];
  while (ok) {
    const ssize_t n = ::read(source, block, sizeof block);
    if (n == 0) break;
    if (n < 0) {
      ok = errno == EINTR;
      continue;
    }
    ok = copy.Append(block, static_cast<std::size_t>(n));
  }
  ::close(source);
  return ok && copy.Commit(false);
}

int OpenFileForWriting(const std::string& path, WriteStart start, unsigned mode) {
  const int startFlag = start == WriteStart::Truncate ? O_TRUNC : start == WriteStart::Append ? O_APPEND : 0;
  // Without O_NONBLOCK a pipe in the file's place would wait for a reader forever.
  const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | startFlag;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int fd = ::open(path.c_str(), flags, static_cast<mode_t>(mode));
    if (fd < 0) {
      if (errno != ELOOP) return -1;
      // A link where the file belongs: the file is made in its place.
      if (::unlink(path.c_str()) != 0 && errno != ENOENT) return -1;
      continue;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(fd);
      errno = EISDIR;
      return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
  }
  errno = ELOOP;
  return -1;
}

std::FILE* OpenStreamForWriting(const std::string& path, WriteStart start) {
  const int fd = OpenFileForWriting(path, start);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::fdopen(fd, start == WriteStart::Append ? "ab" : "wb");
  if (stream == nullptr) ::close(fd);
  return stream;
}

Status CheckNoLinkBetween(const std::string& root, const std::string& path) {
  std::string base = root;
  if (base.empty() || (base.back() != '/' && base.back() != '\\')) base += '/';
  if (path.size() <= base.size() || path.compare(0, base.size(), base) != 0) {
    return Fail(FailureKind::Refused, msg::WriteOutsideFolder(path, root));
  }
  std::vector<std::string_view> steps;
  for (std::size_t from = base.size(); from <= path.size();) {
    const std::size_t slash = std::min(path.find('/', from), path.size());
    const std::string_view step(path.data() + from, slash - from);
    if (step == "..") return Fail(FailureKind::Refused, msg::WriteOutsideFolder(path, root));
    if (slash < path.size() && !step.empty() && step != ".") steps.push_back(step);
    from = slash + 1;
  }
  std::string walked = base;
  for (const std::string_view step : steps) {
    // Looked at without a trailing separator: with one, lstat would look through a link.
    walked.append(step);
    struct stat info {};
    if (::lstat(walked.c_str(), &info) != 0) {
      // What is missing will be made as a real folder.
      if (errno == ENOENT) return {};
      return Fail(FailureKind::Io, msg::FolderNotUsable(walked + '/'));
    }
    walked.push_back('/');
    if (S_ISLNK(info.st_mode)) return Fail(FailureKind::Refused, msg::FolderIsLink(walked));
    if (!S_ISDIR(info.st_mode)) return Fail(FailureKind::Io, msg::FolderNotUsable(walked));
  }
  return {};
}

}  // namespace kv
