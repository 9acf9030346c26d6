#include "crash/game_leftovers.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "crash/log_text.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// What ended a game is at the end of its output; more than this is not read.
constexpr std::size_t kMaxBytesRead = 64 << 20;
// A game that crashes in a loop leaves many reports; the newest say enough.
constexpr std::size_t kNewestKept = 4;
// File times may be coarser than the clock.
constexpr auto kTimeSlack = std::chrono::seconds(2);

struct Written {
  fs::path path;
  fs::file_time_type time;
};

// The regular files of `folder` whose name passes `wanted`, written since `since`, newest first.
template <class Wanted>
std::vector<Written> WrittenSince(const fs::path& folder, fs::file_time_type since, Wanted wanted) {
  std::vector<Written> files;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code entryError;
    if (!it->is_regular_file(entryError) || !wanted(it->path().filename().string())) continue;
    const fs::file_time_type time = it->last_write_time(entryError);
    if (!entryError && time + kTimeSlack >= since) files.push_back({it->path(), time});
  }
  std::sort(files.begin(), files.end(), [](const Written& a, const Written& b) { return a.time > b.time; });
  if (files.size() > kNewestKept) files.resize(kNewestKept);
  return files;
}

void AddSource(std::vector<CrashSource>& sources, const std::string& path, const std::string& name) {
  Result<std::string> bytes = ReadLogFile(path, kMaxBytesRead);
  if (bytes) sources.push_back({name, DecodeLogText(std::move(*bytes))});
}

}  // namespace

std::vector<CrashSource> CollectGameLeftovers(const std::string& outputFile, const std::string& gameFolder,
                                              fs::file_time_type since) {
  std::vector<CrashSource> sources;
  const fs::path folder(gameFolder);
  const auto isReport = [](const std::string& name) { return name.ends_with(".txt"); };
  for (const Written& report : WrittenSince(folder / "crash-reports", since, isReport)) {
    AddSource(sources, report.path.string(), "crash-reports/" + report.path.filename().string());
  }
  const auto isFatalErrorLog = [](const std::string& name) {
    return name.starts_with("hs_err_pid") && name.ends_with(".log");
  };
  for (const Written& log : WrittenSince(folder, since, isFatalErrorLog)) {
    AddSource(sources, log.path.string(), log.path.filename().string());
  }
  if (!outputFile.empty()) AddSource(sources, outputFile, fs::path(outputFile).filename().string());
  return sources;
}

Result<CrashSource> ReadCrashSource(const std::string& path) {
  Result<std::string> bytes = ReadLogFile(path, kMaxBytesRead);
  if (!bytes) return std::move(bytes).failure();
  return CrashSource{path, DecodeLogText(std::move(*bytes))};
}

}  // namespace kv
