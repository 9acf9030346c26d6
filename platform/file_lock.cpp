#include "platform/file_lock.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "util/files.h"

namespace kv {

FileLock::FileLock(const std::string& lockPath, bool exclusive, unsigned mode) {
  fd_ = OpenFileForWriting(lockPath, WriteStart::Keep, mode);
  if (fd_ < 0) return;
  int locked;
  while ((locked = ::flock(fd_, exclusive ? LOCK_EX : LOCK_SH)) != 0 && errno == EINTR) {
  }
  if (locked != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace kv
