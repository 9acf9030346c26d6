#include "util/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

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
  std::ifstream in(std::string(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || bytes.empty()) return std::nullopt;
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
  for (std::size_t slash = folder.find('/'); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    if (slash == 0) continue;  // the root of an absolute path
    std::string prefix = folder.substr(0, slash);
    if (!PathExists(prefix)) ::mkdir(prefix.c_str(), 0755);
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::optional<unsigned> mode) {
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
