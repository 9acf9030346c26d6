#pragma once

#include <map>
#include <string>
#include <string_view>

namespace kv::test {

// Every entry of the zip held in `bytes`, read with minizip straight from memory: name to
// content. Returns false and fills `error` when the archive or one of its entries is damaged.
bool ReadZipFromMemory(std::string_view bytes, std::map<std::string, std::string>& entries,
                       std::string& error);

}  // namespace kv::test
