#include "tools/skin-packer/zip_writer.h"

#include <minizip/zip.h>

#include <fstream>
#include <iterator>

namespace kv::skin {
namespace {

bool ReadBytes(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A fixed date keeps the archive, and so the embedded bytes, identical from build to build.
zip_fileinfo FixedFileInfo() {
  zip_fileinfo info{};
  info.tmz_date.tm_year = 2024;
  info.tmz_date.tm_mon = 0;
  info.tmz_date.tm_mday = 1;
  return info;
}

bool AddEntry(zipFile zip, const ZipEntry& entry, std::string& error) {
  std::string bytes;
  if (!ReadBytes(entry.path, bytes)) {
    error = "cannot read " + entry.path;
    return false;
  }
  const zip_fileinfo info = FixedFileInfo();
  if (zipOpenNewFileInZip64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            Z_DEFLATED, Z_BEST_COMPRESSION, 0) != ZIP_OK) {
    error = "cannot add " + entry.name;
    return false;
  }
  const bool written =
      bytes.empty() ||
      zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
  const bool closed = zipCloseFileInZip(zip) == ZIP_OK;
  if (!written || !closed) {
    error = "cannot write " + entry.name;
    return false;
  }
  return true;
}

}  // namespace

bool WriteZip(const std::string& zipPath, const std::vector<ZipEntry>& entries,
              std::string& error) {
  zipFile zip = zipOpen64(zipPath.c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) {
    error = "cannot create " + zipPath;
    return false;
  }
  bool ok = true;
  for (const ZipEntry& entry : entries) {
    if (!AddEntry(zip, entry, error)) {
      ok = false;
      break;
    }
  }
  if (zipClose(zip, nullptr) != ZIP_OK && ok) {
    error = "cannot finish " + zipPath;
    ok = false;
  }
  return ok;
}

}  // namespace kv::skin
