// The zip reader that installers are read with (it lives in util; its tests make their
// archives with the tests' zip writer).
#include "util/zip_archive.h"

#include <gtest/gtest.h>

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
