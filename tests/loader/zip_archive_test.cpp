// The zip reader that installers are read with (it lives in util; its tests make their
// archives with the tests' zip writer).
#include "util/zip_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/net/zip_maker.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

TEST(ZipArchive, EntriesReadAndExtracted) {
  test::TempFolder folder;
  const std::string path = folder.Path() + "a.jar";
  test::MakeZip(path, {{"META-INF/MANIFEST.MF", "Main-Class: A\n"}, {"data/", ""}, {"data/big.bin", std::string(100000, 'x')}});
  Result<ZipArchive> archive = ZipArchive::Open(path);
  ASSERT_TRUE(archive) << archive.message();
  EXPECT_EQ(archive->EntryNames(), (std::vector<std::string>{"META-INF/MANIFEST.MF", "data/", "data/big.bin"}));
  EXPECT_EQ(*archive->Read("META-INF/MANIFEST.MF", 1024), "Main-Class: A\n");
  EXPECT_EQ(archive->Read("data/big.bin", 1000).kind(), FailureKind::TooLarge);
  EXPECT_EQ(archive->Read("missing", 1000).kind(), FailureKind::NotFound);
  EXPECT_EQ(archive->Read(std::string("data/big.bin\0x", 14), 1000000).kind(), FailureKind::NotFound);

  ASSERT_TRUE(archive->Extract("data/big.bin", folder.Path() + "out/deep/big.bin"));
  EXPECT_EQ(GetFileSize(folder.Path() + "out/deep/big.bin"), 100000u);
  EXPECT_FALSE(PathExists(folder.Path() + "out/deep/big.bin.part"));
  EXPECT_EQ(archive->Extract("missing", folder.Path() + "out/missing").kind(), FailureKind::NotFound);
  EXPECT_FALSE(PathExists(folder.Path() + "out/missing"));
}

// An entry whose stored size promises more bytes than its data holds is damaged: the checksum
// is only checked once the promised bytes were read, so a short entry must not pass for whole.
TEST(ZipArchive, AnEntryShorterThanItsStoredSizeIsRefused) {
  test::TempFolder folder;
  const std::string path = folder.Path() + "short.jar";
  std::string bytes = test::ZipBytes({{"a.txt", std::string(3000, 'a')}});
  // The uncompressed size, one more in both the entry's own header and the directory.
  const std::size_t local = bytes.find("PK\x03\x04");
  const std::size_t central = bytes.find("PK\x01\x02");
  ASSERT_NE(local, std::string::npos);
  ASSERT_NE(central, std::string::npos);
  bytes[local + 22] = static_cast<char>(bytes[local + 22] + 1);
  bytes[central + 24] = static_cast<char>(bytes[central + 24] + 1);
  test::WriteFile(path, bytes);
  Result<ZipArchive> archive = ZipArchive::Open(path);
  ASSERT_TRUE(archive) << archive.message();
  const Result<std::string> read = archive->Read("a.txt", 1u << 20);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.kind(), FailureKind::Invalid);
  EXPECT_FALSE(archive->Extract("a.txt", folder.Path() + "out/a.txt"));
  EXPECT_FALSE(PathExists(folder.Path() + "out/a.txt"));
}

TEST(ZipArchive, ALinkPlantedBesideTheTargetDoesNotRedirectTheExtraction) {
  test::TempFolder folder;
  const std::string path = folder.Path() + "a.jar";
  test::MakeZip(path, {{"lib.so", "from the archive"}});
  test::WriteFile(folder.Path() + "precious.txt", "keep");
  MakeFoldersForPath(folder.Path() + "out/lib.so");
  std::filesystem::create_symlink(folder.Path() + "precious.txt", folder.Path() + "out/lib.so.part");
  Result<ZipArchive> archive = ZipArchive::Open(path);
  ASSERT_TRUE(archive) << archive.message();
  ASSERT_TRUE(archive->Extract("lib.so", folder.Path() + "out/lib.so"));
  EXPECT_EQ(test::ReadFile(folder.Path() + "precious.txt"), "keep");
  EXPECT_EQ(test::ReadFile(folder.Path() + "out/lib.so"), "from the archive");
}

// The skin archive is read from memory; entries with the same name are each read in turn.
TEST(ZipArchive, ArchivesInMemoryAndRepeatedNames) {
  const std::string bytes = test::ZipBytes({{"a.txt", "first"}, {"b/", ""}, {"a.txt", "second"}});
  Result<ZipArchive> archive = ZipArchive::OpenBytes(bytes, "skin");
  ASSERT_TRUE(archive) << archive.message();
  ASSERT_EQ(archive->EntryNames().size(), 3u);
  EXPECT_EQ(*archive->Read("a.txt", 100), "first");
  EXPECT_EQ(*archive->ReadAt(2, 100), "second");
  EXPECT_EQ(archive->ReadAt(3, 100).kind(), FailureKind::NotFound);
  EXPECT_EQ(ZipArchive::OpenBytes(bytes.substr(0, bytes.size() - 10), "skin").kind(), FailureKind::Invalid);
  EXPECT_EQ(ZipArchive::OpenBytes("", "skin").kind(), FailureKind::Invalid);
}

TEST(ZipArchive, WhatIsNotAnArchiveIsRefused) {
  test::TempFolder folder;
  test::WriteFile(folder.Path() + "not.jar", "PK but not a zip");
  EXPECT_EQ(ZipArchive::Open(folder.Path() + "not.jar").kind(), FailureKind::Invalid);
  EXPECT_EQ(ZipArchive::Open(folder.Path() + "absent.jar").kind(), FailureKind::Invalid);
}

TEST(ZipArchive, OnlyNamesThatStayBelowTheirFolderAreSafe) {
  EXPECT_EQ(SafeEntryName("maven/net/a.jar"), "maven/net/a.jar");
  EXPECT_EQ(SafeEntryName("data\\client.lzma"), "data/client.lzma");
  EXPECT_EQ(SafeEntryName("data/"), "data/");
  for (const char* name : {"", "/etc/passwd", "../x", "a/../../x", "a/./b", "a//b", "C:/x", "c:x", "..", "a/.."}) {
    EXPECT_FALSE(SafeEntryName(name)) << name;
  }
  EXPECT_FALSE(SafeEntryName(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace kv
