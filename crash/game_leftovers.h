#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "crash/crash_analyzer.h"

// What a game that ended with an error left behind for the crash analysis.
namespace kv {

// The crash reports in `gameFolder`'s "crash-reports" and the JVM's fatal error logs
// ("hs_err_pid*.log", in its working folder, which is the game folder) written since `since`,
// the newest first, then the game's output in `outputFile` (when given). Each is read from its
// end up to a bound and decoded; files that cannot be read are left out.
std::vector<CrashSource> CollectGameLeftovers(const std::string& outputFile, const std::string& gameFolder,
                                              std::filesystem::file_time_type since);

// A file the player brings, read as CollectGameLeftovers reads one.
Result<CrashSource> ReadCrashSource(const std::string& path);

}  // namespace kv
