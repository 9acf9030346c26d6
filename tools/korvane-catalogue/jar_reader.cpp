#include "tools/korvane-catalogue/jar_reader.h"

#include <minizip/unzip.h>

#include <utility>

namespace kv::catalogue {

std::optional<JarReader> JarReader::Open(const std::string& path) {
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return std::nullopt;
  return JarReader(zip);
}

JarReader::JarReader(JarReader&& other) noexcept : zip_(std::exchange(other.zip_, nullptr)) {}

JarReader::~JarReader() {
  if (zip_) unzClose(static_cast<unzFile>(zip_));
}

std::optional<std::string> JarReader::Read(const std::string& name, std::size_t maxBytes) const {
  unzFile zip = static_cast<unzFile>(zip_);
  if (!zip || unzLocateFile(zip, name.c_str(), 1) != UNZ_OK) return std::nullopt;
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      info.uncompressed_size > maxBytes || unzOpenCurrentFile(zip) != UNZ_OK) {
    return std::nullopt;
  }
  std::string bytes;
  char buffer[16 * 1024];
  int got = 0;
  // The stored size may lie; the limit holds for what is really inflated.
  while ((got = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0 && bytes.size() <= maxBytes) {
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  const bool intact = unzCloseCurrentFile(zip) == UNZ_OK && got == 0 && bytes.size() <= maxBytes;
  if (!intact) return std::nullopt;
  return bytes;
}

}  // namespace kv::catalogue
