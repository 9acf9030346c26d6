#include "util/ascii_text.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(AsciiText, CaseFoldingLeavesOtherCharactersAlone) {
  EXPECT_EQ(AsciiLower("NeoForge-1.20.1-我的世界"), "neoforge-1.20.1-我的世界");
  EXPECT_TRUE(EqualsNoCase("UserName", "username"));
  EXPECT_FALSE(EqualsNoCase("User", "UserName"));
  EXPECT_TRUE(StartsWithNoCase("HTTPS://example.org", "https://"));
  EXPECT_FALSE(StartsWithNoCase("http", "https://"));
}

TEST(AsciiText, ExtensionsAreThoseOfTheFileNameOnly) {
  EXPECT_EQ(LowerExtension("libraries/a.b/Icon.PNG"), "png");
  EXPECT_EQ(LowerExtension("assets.v2/icon"), "");
  EXPECT_EQ(LowerExtension("natives.jar"), "jar");
  EXPECT_EQ(LowerExtension("noext"), "");
}

TEST(AsciiText, TrimAndControlCharacters) {
  EXPECT_EQ(Trim(" \t1.20.1\r\n"), "1.20.1");
  EXPECT_EQ(Trim(" \t\r\n"), "");
  EXPECT_TRUE(HasControlCharacter("name\x1b[31m"));
  EXPECT_TRUE(HasControlCharacter("a\x7f"));
  EXPECT_FALSE(HasControlCharacter("我的世界 1.20"));
}

}  // namespace
}  // namespace kv
