#include "util/digest.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace kv {
namespace {

TEST(Md5, DigestsOfBytesAndOfFilesReadInPieces) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("The quick brown fox jumps over the lazy dog"), "9e107d9d372bb6826bd81d3542a419d6");
  // Longer than one read, so the pieces have to add up.
  std::string big;
  for (int i = 0; i < 200000; ++i) big += static_cast<char>(i * 7);
  test::TempFolder dir;
  test::WriteFile(dir / "big.bin", big);
  EXPECT_EQ(Md5HexOfFile(dir / "big.bin"), Md5Hex(big));
  EXPECT_EQ(Md5HexOfFile(dir / "missing.bin"), std::nullopt);
}

TEST(Sha1, DigestFedInPiecesStartsOverAfterEachResult) {
  Digest digest(DigestKind::Sha1);
  digest.Update("ab", 2);
  digest.Update("c", 1);
  EXPECT_EQ(digest.HexDigest(), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(digest.HexDigest(), "da39a3ee5e6b4b0d3255bfef95601890afd80709");  // nothing fed
  EXPECT_TRUE(SameDigest("A9993E364706816ABA3E25717850C26C9CD0D89D", "a9993e364706816aba3e25717850c26c9cd0d89d"));
  EXPECT_FALSE(SameDigest("a9993e", "a9993e364706816aba3e25717850c26c9cd0d89d"));
}

TEST(Sha256, DigestOfAFileReadInPieces) {
  test::TempFolder dir;
  test::WriteFile(dir / "fox.txt", "The quick brown fox jumps over the lazy dog");
  EXPECT_EQ(Sha256HexOfFile(dir / "fox.txt"), "d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e592");
  std::string big(200000, 'a');
  test::WriteFile(dir / "big.bin", big);
  EXPECT_EQ(Sha256HexOfFile(dir / "big.bin"), "2287d207f24a941ff3b56c04c8a25ad56b63e3023207b3bb5b4ac0c9869d74be");
  EXPECT_EQ(Sha256HexOfFile(dir / "missing.bin"), std::nullopt);
}

}  // namespace
}  // namespace kv
