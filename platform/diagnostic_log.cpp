#include "platform/diagnostic_log.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "platform/launcher_folder.h"
#include "util/files.h"

namespace kv {
namespace {

std::string SetUpLogFile() {
  std::string file = GetLauncherFolder() + "log/log.log";
  std::remove(file.c_str());
  MakeFoldersForPath(file);
  return file;
}

}  // namespace

int LogLine(LogLevel level, std::string_view message) {
  static std::mutex lock;
  std::lock_guard guard(lock);
  static const std::string file = SetUpLogFile();
  if (std::FILE* out = std::fopen(file.c_str(), "a")) {
    std::time_t now = std::time(nullptr);
    char stamp[32] = {};
    std::tm local {};
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", localtime_r(&now, &local));
    static constexpr const char* kLevels[] = {"info", "warning", "error"};
    std::fprintf(out, "%s [%s] %.*s\n", stamp, kLevels[static_cast<int>(level)],
                 static_cast<int>(message.size()), message.data());
    std::fclose(out);
  }
  return 0;
}

}  // namespace kv
