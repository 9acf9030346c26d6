#pragma once

#include <cstdint>
#include <string>

// The texts of the download progress: sizes and the transfer speed. A size below 1,024 is
// shown in bytes, up to 1,048,576 inclusive in KB with two decimals, above that in MB. A speed
// is shown in KB/s up to 1,048,576 bytes a second inclusive (a trickle reads 0.50KB/s), above
// that in MB/s.
namespace kv {

std::string SizeText(std::int64_t bytes);            // "1.00KB"
std::string FileSizeText(std::int64_t bytes);        // "文件大小:1.00KB"; unknown (-1): "文件大小:-1B"
std::string SpeedText(std::int64_t bytesPerSecond);  // "下载速度:1.00MB/s"

}  // namespace kv
