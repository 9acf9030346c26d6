#include "tests/net/zip_maker.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace kv::test {

void MakeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr) << path;
  for (const auto& [name, bytes] : entries) {
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                    Z_DEFAULT_COMPRESSION, 1),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

std::string ZipBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
  const TempFolder folder;
  MakeZip(folder / "made.zip", entries);
  return ReadFile(folder / "made.zip");
}

}  // namespace kv::test
