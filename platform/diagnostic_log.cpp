#include "platform/diagnostic_log.h"

#include <sys/file.h>
#include <unistd.h>

#include <ctime>
#include <map>
#include <mutex>
#include <string>

#include "platform/launcher_folder.h"
#include "util/files.h"

namespace kv {
namespace {

// The log file of a launcher folder, opened on its first line in this process. A process keeps
// a shared lock on every log it writes; the first line starts the file afresh only when it can
// take the lock alone, so a launcher (or test) still running in the same folder keeps its lines.
int OpenLog(const std::string& file) {
  MakeFoldersForPath(file);
  const int fd = OpenFileForWriting(file, WriteStart::Append);
  if (fd < 0) return -1;
  // An old log that cannot be emptied only makes for longer reading.
  const bool emptied = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ftruncate(fd, 0) == 0;
  static_cast<void>(emptied);
  ::flock(fd, LOCK_SH);
  return fd;
}

}  // namespace

int LogLine(LogLevel level, std::string_view message) {
  static std::mutex lock;
  static std::map<std::string, int> openLogs;  // file -> descriptor, for the process's life
  std::lock_guard guard(lock);
  const std::string file = GetLauncherFolder() + "log/log.log";
  auto found = openLogs.find(file);
  if (found == openLogs.end()) found = openLogs.emplace(file, OpenLog(file)).first;
  if (found->second < 0) return 0;

  std::time_t now = std::time(nullptr);
  char stamp[32] = {};
  std::tm local{};
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", localtime_r(&now, &local));
  static constexpr const char* kLevels[] = {"info", "warning", "error"};
  std::string line = std::string(stamp) + " [" + kLevels[static_cast<int>(level)] + "] ";
  line.append(message).push_back('\n');
  // One write per line, so that lines of processes sharing the file never interleave. A log
  // that cannot be written never disturbs the caller.
  const ssize_t written = ::write(found->second, line.data(), line.size());
  static_cast<void>(written);
  return 0;
}

}  // namespace kv
