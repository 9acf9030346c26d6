#include "uilib/zip_reader.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>


#include "tests/support/temp_folder.h"

namespace kv::ui {
namespace {

// Writes a zip with minizip's writer and returns its bytes.
std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  test::TempFolder folder;
  const std::string path = folder / "t.zip";
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  for (const auto& [name, bytes] : entries) {
    zip_fileinfo info{};
    zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0);
    zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
  return test::ReadFile(path);
}

TEST(ZipReader, ReadsEveryFileInOrderAndSkipsFolders) {
  const std::string zip = MakeZip({{"xmls/", ""}, {"xmls/a.xml", "<Window/>"}, {"image/b.png", std::string(5000, 'x')}});
  const auto entries = ReadZipEntries(zip);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_EQ((*entries)[0].first, "xmls/a.xml");
  EXPECT_EQ((*entries)[0].second, QByteArray("<Window/>"));
  EXPECT_EQ((*entries)[1].second.size(), 5000);
}

TEST(ZipReader, RefusesDamagedArchivesAndOversizedContent) {
  std::string zip = MakeZip({{"a.txt", std::string(2000, 'a')}});
  EXPECT_FALSE(ReadZipEntries(zip, 1000));
  EXPECT_TRUE(ReadZipEntries(zip, 4000));
  // Flip a byte of the compressed data: the checksum no longer matches.
  const std::size_t data = zip.find("a.txt") + 5;
  zip[data + 3] = static_cast<char>(zip[data + 3] ^ 0x55);
  EXPECT_FALSE(ReadZipEntries(zip));
  EXPECT_FALSE(ReadZipEntries(zip.substr(0, zip.size() / 2)));
  EXPECT_FALSE(ReadZipEntries(""));
}

}  // namespace
}  // namespace kv::ui
