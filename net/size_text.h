#pragma once

#include <cstdint>
#include <string>

// The texts of the download progress: a file's size and the transfer speed. Below 1,024 the
// value is shown in bytes, up to 1,048,576 inclusive in KB with two decimals, above that in MB.
namespace kv {

std::string FileSizeText(std::int64_t bytes);        // "文件大小:1.00KB"; unknown (-1): "文件大小:-1B"
std::string SpeedText(std::int64_t bytesPerSecond);  // "下载速度:1.00MB/S"

}  // namespace kv
