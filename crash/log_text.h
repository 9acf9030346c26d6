#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "util/result.h"

// What the game leaves behind (its output, crash reports, the JVM's fatal error logs) as text
// to search, whatever form it comes in.
namespace kv {

// The bytes of a log as UTF-8 text with "\n" line ends: a byte order mark (UTF-8, UTF-16) is
// dropped; bytes that are not UTF-8 are read as GBK, the code page in which Java writes on a
// Chinese Windows; "\r\n" and a lone "\r" end a line; a log4j XML event stream becomes one
// line per event.
std::string DecodeLogText(std::string bytes);

// The last `maxBytes` of a file (all of it when it is smaller), starting at a line: a game that
// played for hours leaves a long log, and what ended it is at its end.
Result<std::string> ReadLogFile(const std::string& path, std::size_t maxBytes);

}  // namespace kv
