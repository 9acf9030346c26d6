// What the mod page shows of the documents.
#include "mods/mod_view.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(ModView, InstalledAuthorsAndPlaceholders) {
  auto installed = [](const char* text) {
    CatalogueMod mod;
    mod.installed = text;
    return CountsAsInstalled(mod);
  };
  EXPECT_TRUE(installed("true"));
  EXPECT_FALSE(installed("false"));
  EXPECT_FALSE(installed("no"));
  EXPECT_FALSE(installed(""));

  EXPECT_EQ(AuthorLine({"a", "b"}), "a  b  ");
  EXPECT_EQ(AuthorLine({}), "");

  EXPECT_EQ(ModPlaceholderText(0), "不支持Mod");
  EXPECT_EQ(ModPlaceholderText(1), "加载Mod中...");
  EXPECT_EQ(ModPlaceholderText(2), "没安装Mod");
  EXPECT_EQ(ModPlaceholderText(3), std::nullopt);
  EXPECT_EQ(ModPlaceholderText(-1), std::nullopt);
}

TEST(ModView, IconsComeFromTheInstanceFolderAndOnlyByPlainNames) {
  const std::string gamePath = "/games/.minecraft/";
  EXPECT_EQ(ModIconPath(gamePath, "生存", "0a1b.png"), "/games/.minecraft/../Instance/生存/.qrx/.cache/0a1b.png");
  for (const char* icon : {"", "..", "../../x.png", "a/b.png", "a\\b.png", "a'b.png", "a\"b.png", "/etc/x.png"}) {
    EXPECT_EQ(ModIconPath(gamePath, "生存", icon), "") << icon;
  }
  EXPECT_EQ(ModIconPath(gamePath, "..", "a.png"), "");
  EXPECT_EQ(ModIconPath(gamePath, "../x", "a.png"), "");
}

TEST(ModView, OnlyWebAddressesAreOpened) {
  EXPECT_EQ(ModLinkAddress("{a}{f 3}https://example.org/mod{/f}{/a}"), "https://example.org/mod");
  EXPECT_EQ(ModLinkAddress("HTTP://example.org"), "HTTP://example.org");
  for (const char* refused : {"{a}{f 3}{/f}{/a}", "", "   ", "file:///etc/passwd", "javascript:alert(1)",
                              "/usr/bin/xterm", "calc.exe", "http://a b", "ftp://example.org"}) {
    EXPECT_EQ(ModLinkAddress(refused), std::nullopt) << refused;
  }
}

}  // namespace
}  // namespace kv
