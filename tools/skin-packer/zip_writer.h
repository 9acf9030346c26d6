#pragma once

#include <string>
#include <vector>

namespace kv::skin {

struct ZipEntry {
  std::string name;  // name inside the archive, forward slashes
  std::string path;  // file on disk that holds its bytes
};

// Writes `entries` into a new zip file at `zipPath`, deflated, in the order given and with one
// fixed time stamp, so that the same inputs always give the same archive. Returns false and
// fills `error` when a file cannot be read or the archive cannot be written.
bool WriteZip(const std::string& zipPath, const std::vector<ZipEntry>& entries,
              std::string& error);

}  // namespace kv::skin
