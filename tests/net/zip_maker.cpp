#include "tests/net/zip_maker.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/temp_folder.h"

namespace kv::test {

void MakeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
             const std::vector<std::string>& links) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr) << path;
  for (const auto& [name, bytes] : entries) {
    zip_fileinfo info{};
    const bool link = std::find(links.begin(), links.end(), name) != links.end();
    constexpr uLong kLinkMode = 0120777;
    constexpr uLong kMadeOnUnix = 3u << 8;
    if (link) info.external_fa = kLinkMode << 16;
    ASSERT_EQ(zipOpenNewFileInZip4_64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                      Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                                      link ? kMadeOnUnix : 0, 0, 1),
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
