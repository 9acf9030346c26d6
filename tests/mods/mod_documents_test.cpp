// The two documents of the package tool: what the launcher accepts, what it refuses, and that
// what the tool writes reads back the same.
#include "mods/mod_documents.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

std::vector<CatalogueMod> Filled() {
  CatalogueMod mod;
  mod.id = "earlier";
  return {mod};
}

TEST(ModDocuments, TheCatalogueIsReadWithItsDefaults) {
  std::vector<CatalogueMod> mods;
  ASSERT_TRUE(ParseCatalogue(R"({"allmodlist":[{"id":"x"}]})", mods));
  ASSERT_EQ(mods.size(), 1u);
  EXPECT_EQ(mods[0].id, "x");
  EXPECT_EQ(mods[0].installed, "");
  EXPECT_TRUE(mods[0].branches.empty());
  EXPECT_TRUE(mods[0].extra.author.empty());
  EXPECT_EQ(mods[0].extra.icon, "");

  ASSERT_TRUE(ParseCatalogue(R"(// written by the tool
    {"allmodlist":[{"id":"jei","installed":true,"branches":[{"branch":"main","mcversion":"1.7.10"},{}],
      "extrainfo":{"author":["b","a"],"modtype":"Forge","modchn":"物品管理器","icon":"jei.png"}},
     {"id":"ic2","installed":null,"extrainfo":{"author":"just one"}}]})",
                             mods));
  ASSERT_EQ(mods.size(), 2u);
  EXPECT_EQ(mods[0].installed, "true");
  ASSERT_EQ(mods[0].branches.size(), 2u);
  EXPECT_EQ(mods[0].branches[0].mcversion, "1.7.10");
  EXPECT_EQ(mods[0].extra.author, (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(mods[0].extra.modchn, "物品管理器");
  EXPECT_EQ(mods[1].installed, "");
  // An author that is a string instead of a list gives no authors.
  EXPECT_TRUE(mods[1].extra.author.empty());

  mods = Filled();
  ASSERT_TRUE(ParseCatalogue("{}", mods));
  EXPECT_TRUE(mods.empty());
  mods = Filled();
  ASSERT_TRUE(ParseCatalogue(R"({"allmodlist":{"0":{"id":"x"}}})", mods));
  EXPECT_TRUE(mods.empty());
}

TEST(ModDocuments, TheInstalledListReadsOnlyItsOwnNesting) {
  std::vector<InstalledMod> mods;
  ASSERT_TRUE(ParseInstalledList(R"({"installmodlist":[
      {"mod":{"id":"jei","branch":"main","version":"4.2","variant":"forge"},
       "branch":{"branch":"main","mcversion":"1.7.10"},
       "installs":{"installs":[{"from":"http://c/jei.jar","to":"mods/jei.jar","md5":"00ff"}]},
       "extrainfo":{"author":["mezz"],"icon":"jei.png"}},
      {"mod":{"id":"other"},"branches":[{"branch":"b","mcversion":"1.7.10"}],
       "installs":[{"from":"f","to":"t","md5":"m"}]}]})",
                                 mods));
  ASSERT_EQ(mods.size(), 2u);
  EXPECT_EQ(mods[0].mod.variant, "forge");
  EXPECT_EQ(mods[0].branch.mcversion, "1.7.10");
  ASSERT_EQ(mods[0].installs.size(), 1u);
  EXPECT_EQ(mods[0].installs[0].to, "mods/jei.jar");
  EXPECT_EQ(mods[0].extra.author, std::vector<std::string>{"mezz"});
  // The catalogue's "branches" and a file array directly under the element are not read.
  EXPECT_EQ(mods[1].branch.branch, "");
  EXPECT_TRUE(mods[1].installs.empty());
}

TEST(ModDocuments, DocumentsOfTheWrongShapeFailAndLeaveTheListAsItWas) {
  for (const char* text : {"", "not json", "{\"allmodlist\":[", "[]", "\"text\"", "null", "5",
                           R"({"allmodlist":[{"id":5}]})", R"({"allmodlist":[{"id":["x"]}]})",
                           R"({"allmodlist":[{"id":"x","installed":1}]})", R"({"allmodlist":["x"]})",
                           R"({"allmodlist":[null]})", R"({"allmodlist":[{"id":"x","extrainfo":"y"}]})",
                           R"({"allmodlist":[{"id":"x","extrainfo":{"author":[7]}}]})",
                           R"({"allmodlist":[{"id":"x","branches":["main"]}]})",
                           R"({"allmodlist":[{"id":"x","extrainfo":{"icon":{}}}]})"}) {
    std::vector<CatalogueMod> mods = Filled();
    EXPECT_FALSE(ParseCatalogue(text, mods)) << text;
    ASSERT_EQ(mods.size(), 1u) << text;
    EXPECT_EQ(mods[0].id, "earlier");
  }
  for (const char* text : {R"({"installmodlist":[{"mod":"jei"}]})", R"({"installmodlist":[{"branch":"main"}]})",
                           R"({"installmodlist":[{"installs":{"installs":[3]}}]})",
                           R"({"installmodlist":[{"installs":"x"}]})",
                           R"({"installmodlist":[{"installs":{"installs":[{"md5":12}]}}]})"}) {
    std::vector<InstalledMod> mods(1);
    mods[0].mod.id = "earlier";
    EXPECT_FALSE(ParseInstalledList(text, mods)) << text;
    ASSERT_EQ(mods.size(), 1u) << text;
    EXPECT_EQ(mods[0].mod.id, "earlier");
  }
}

TEST(ModDocuments, WhatTheToolWritesReadsBackTheSame) {
  CatalogueMod listed;
  listed.id = "模组 \"quoted\"";
  listed.installed = "false";
  listed.branches = {{"1.0", "1.20.1"}, {"0.9", "1.20.1"}};
  listed.extra = {{"甲", "b"}, "NeoForge", "名字", "0123.png"};
  std::vector<CatalogueMod> catalogue;
  ASSERT_TRUE(ParseCatalogue(WriteCatalogue({listed, CatalogueMod{}}), catalogue));
  ASSERT_EQ(catalogue.size(), 2u);
  EXPECT_EQ(catalogue[0].id, listed.id);
  EXPECT_EQ(catalogue[0].branches[1].branch, "0.9");
  EXPECT_EQ(catalogue[0].extra.author, listed.extra.author);
  EXPECT_EQ(catalogue[0].extra.modtype, "NeoForge");
  // Chinese stays readable text in the file.
  EXPECT_NE(WriteCatalogue({listed}).find("名字"), std::string::npos);

  InstalledMod installed;
  installed.mod = {"jei", "main", "4.2", "forge"};
  installed.branch = {"main", "1.7.10"};
  installed.installs = {{"http://c/a.jar", "mods/a.jar", "aa"}, {"http://c/b.jar", "mods/b.jar", "bb"}};
  installed.extra.icon = "i.png";
  std::vector<InstalledMod> list;
  ASSERT_TRUE(ParseInstalledList(WriteInstalledList({installed}), list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].mod.version, "4.2");
  ASSERT_EQ(list[0].installs.size(), 2u);
  EXPECT_EQ(list[0].installs[1].md5, "bb");
  EXPECT_EQ(list[0].extra.icon, "i.png");
}

}  // namespace
}  // namespace kv
