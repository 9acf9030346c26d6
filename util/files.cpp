#include "util/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

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

bool WriteFileAtomically(const std::string& linkOrPath, std::string_view bytes,
                         std::optional<unsigned> mode) {
  // A file that is a link stays a link: the new contents replace the file it points to.
  const std::string path = LinkTarget(linkOrPath);
  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  if (!mode) {
    struct stat old {};
    mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  }
  ::fchmod(fd, static_cast<mode_t>(*mode));
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace kv
