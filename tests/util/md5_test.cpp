#include "util/md5.h"

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

}  // namespace
}  // namespace kv
