#pragma once

#include <string_view>

// The launcher's diagnostic log: log/log.log in the launcher folder. The first line of a run
// removes the previous run's file, so the file always describes the latest run.
namespace kv {

enum class LogLevel { Info = 0, Warning = 1, Error = 2 };

// Appends one line. Returns 0; a log that cannot be written never disturbs the caller.
int LogLine(LogLevel level, std::string_view message);

}  // namespace kv
