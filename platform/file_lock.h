#pragma once

#include <string>

namespace kv {

// An advisory lock on a lock file (created when missing), held from construction until the
// object goes; it serialises processes that take the same lock. Waits as long as another
// holder keeps it. Without a lock file (a folder that cannot be written) it holds nothing.
class FileLock {
 public:
  FileLock(const std::string& lockPath, bool exclusive, unsigned mode = 0644);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace kv
