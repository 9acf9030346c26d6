#pragma once

#include <string_view>

// The launcher's diagnostic log: log/log.log in the launcher folder in force when a line is
// logged. The first line a process logs there starts the file afresh, so that it describes
// the latest run, unless another process is still writing it: then both append.
namespace kv {

enum class LogLevel { Info = 0, Warning = 1, Error = 2 };

// Appends one line. Returns 0; a log that cannot be written never disturbs the caller.
int LogLine(LogLevel level, std::string_view message);

}  // namespace kv
