#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kv::test {

// Writes a zip archive at `path` (its folders made) holding `entries` (name, bytes) in order.
// The entries named in `links` are stored as symbolic links made on Unix, their bytes the
// target.
void MakeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
             const std::vector<std::string>& links = {});

// The bytes of such an archive, for a file that a test serves.
std::string ZipBytes(const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace kv::test
