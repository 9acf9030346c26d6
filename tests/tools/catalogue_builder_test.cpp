// korvane-catalogue: what it reads from jars and what it makes of its out folder.
#include "tools/korvane-catalogue/catalogue_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/mod_jars.h"
#include "tools/qrx/catalogue_index.h"
#include "util/digest.h"

namespace kv::catalogue {
namespace {

const qrx::CatalogueEntry* Find(const std::vector<qrx::CatalogueEntry>& entries, const std::string& id) {
  for (const qrx::CatalogueEntry& entry : entries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

TEST(CatalogueBuilder, EachLoadersMetadataBecomesAnEntry) {
  test::TempFolder root;
  test::MakeModJars(root / "jars/");
  const BuildResult result = BuildCatalogue(root / "jars", root / "out");
  ASSERT_TRUE(result.ok) << result.failure;
  EXPECT_EQ(result.mods, 4);
  ASSERT_EQ(result.skipped.size(), 1u);
  EXPECT_EQ(result.skipped[0].rfind("plain.jar: ", 0), 0u);

  std::string error;
  std::vector<std::string> warnings;
  const auto entries = qrx::ReadCatalogueIndex(test::ReadFile(root / "out/index.json"), error, warnings);
  ASSERT_TRUE(entries) << error;
  EXPECT_TRUE(warnings.empty());

  const qrx::CatalogueEntry* old = Find(*entries, "oldmod");
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->loader, qrx::ModLoader::Forge);
  EXPECT_EQ(old->gameVersions.syntax, qrx::GameVersions::Syntax::Exact);
  EXPECT_EQ(old->gameVersions.values, std::vector<std::string>{"1.7.10"});
  EXPECT_EQ(old->authors, (std::vector<std::string>{"A", "B"}));
  ASSERT_EQ(old->files.size(), 1u);
  EXPECT_EQ(old->files[0].name, "oldmod-1.0.jar");
  EXPECT_EQ(old->files[0].md5, Md5Hex(test::ReadFile(root / "jars/oldmod-1.0.jar")));
  EXPECT_EQ(test::ReadFile(root / "out/" + old->files[0].path), test::ReadFile(root / "jars/oldmod-1.0.jar"));
  ASSERT_TRUE(old->icon);
  EXPECT_EQ(test::ReadFile(root / "out/" + old->icon->path), test::OldModIcon());

  const qrx::CatalogueEntry* tech = Find(*entries, "techmod");
  ASSERT_NE(tech, nullptr);
  EXPECT_EQ(tech->version, "2.0");
  EXPECT_EQ(tech->name, "科技 Mod");
  EXPECT_EQ(tech->authors, (std::vector<std::string>{"甲", "乙"}));
  EXPECT_EQ(tech->gameVersions.values, std::vector<std::string>{"[1.7.10,1.8)"});
  EXPECT_EQ(tech->files[0].path, "jars/Tech Mod 2.0.jar");
  ASSERT_TRUE(tech->icon);
  EXPECT_EQ(tech->icon->md5, Md5Hex(test::TechModIcon()));

  const qrx::CatalogueEntry* neo = Find(*entries, "neomod");
  ASSERT_NE(neo, nullptr);
  EXPECT_EQ(neo->loader, qrx::ModLoader::NeoForge);
  EXPECT_FALSE(neo->icon);

  const qrx::CatalogueEntry* fabric = Find(*entries, "fabmod");
  ASSERT_NE(fabric, nullptr);
  EXPECT_EQ(fabric->loader, qrx::ModLoader::Fabric);
  EXPECT_EQ(fabric->gameVersions.values, std::vector<std::string>{">=1.7.10"});
  EXPECT_EQ(fabric->authors, (std::vector<std::string>{"Q", "R"}));
  ASSERT_TRUE(fabric->icon);
  EXPECT_EQ(test::ReadFile(root / "out/" + fabric->icon->path), "big");
}

TEST(CatalogueBuilder, TheOutFolderIsACatalogueOrNothingIsWritten) {
  test::TempFolder root;
  test::MakeModJars(root / "jars/");
  test::WriteFile(root / "home/notes.txt", "mine");
  const BuildResult refused = BuildCatalogue(root / "jars", root / "home");
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(test::ListFiles(root / "home"), "notes.txt\n");

  ASSERT_TRUE(BuildCatalogue(root / "jars", root / "out").ok);
  // A second build over the first drops what the jars folder no longer has.
  std::filesystem::remove(root / "jars/fab.jar");
  const BuildResult again = BuildCatalogue(root / "jars", root / "out");
  ASSERT_TRUE(again.ok) << again.failure;
  EXPECT_EQ(again.mods, 3);
  const std::string files = test::ListFiles(root / "out");
  EXPECT_EQ(files.find("fab.jar"), std::string::npos) << files;
  EXPECT_NE(files.find("jars/oldmod-1.0.jar"), std::string::npos) << files;
  EXPECT_FALSE(BuildCatalogue(root / "missing", root / "out2").ok);
}

TEST(CatalogueBuilder, AJarLeftOutPublishesNeitherItselfNorItsIcon) {
  test::TempFolder root;
  test::MakeModJars(root / "jars/");
  // Read as a mod, icon and all, but its id is too long for any catalogue.
  test::MakeZip(root / "jars/long.jar",
                {{"mcmod.info", R"([{"modid": ")" + std::string(200, 'x') + R"(", "mcversion": "1.7.10", "logoFile": "l.png"}])"},
                 {"l.png", "\x89PNG long icon"}});
  const BuildResult result = BuildCatalogue(root / "jars", root / "out");
  ASSERT_TRUE(result.ok) << result.failure;
  EXPECT_EQ(result.mods, 4);
  ASSERT_EQ(result.skipped.size(), 2u);
  EXPECT_EQ(result.skipped[0].rfind("long.jar: ", 0), 0u) << result.skipped[0];
  const std::string files = test::ListFiles(root / "out");
  EXPECT_EQ(files.find("long.jar"), std::string::npos) << files;
  EXPECT_EQ(files.find("xxxx"), std::string::npos) << files;
  // Every file in the folder is one the index names.
  std::string error;
  std::vector<std::string> warnings;
  const auto entries = qrx::ReadCatalogueIndex(test::ReadFile(root / "out/index.json"), error, warnings);
  ASSERT_TRUE(entries) << error;
  std::string named;
  std::vector<std::string> paths{"index.json"};
  for (const qrx::CatalogueEntry& entry : *entries) {
    for (const qrx::CatalogueFile& file : entry.files) paths.push_back(file.path);
    if (entry.icon) paths.push_back(entry.icon->path);
  }
  std::sort(paths.begin(), paths.end());
  for (const std::string& path : paths) named += path + "\n";
  EXPECT_EQ(files, named);
}

TEST(CatalogueBuilder, LinksInTheOutFolderNeverCarryAWriteOutOfIt) {
  test::TempFolder root;
  test::MakeModJars(root / "jars/");
  ASSERT_TRUE(BuildCatalogue(root / "jars", root / "out").ok);
  test::WriteFile(root / "victim.txt", "keep me");
  // A link where a jar is published: the jar replaces the link.
  std::filesystem::remove(root / "out/jars/neo.jar");
  std::filesystem::create_symlink(root / "victim.txt", root / "out/jars/neo.jar");
  const BuildResult again = BuildCatalogue(root / "jars", root / "out");
  ASSERT_TRUE(again.ok) << again.failure;
  EXPECT_EQ(test::ReadFile(root / "victim.txt"), "keep me");
  EXPECT_FALSE(std::filesystem::is_symlink(root / "out/jars/neo.jar"));
  EXPECT_EQ(test::ReadFile(root / "out/jars/neo.jar"), test::ReadFile(root / "jars/neo.jar"));

  // A linked folder is refused before anything is written or cleaned in it.
  test::WriteFile(root / "elsewhere/precious.png", "mine");
  std::filesystem::remove_all(root / "out/icons");
  std::filesystem::create_directory_symlink(root / "elsewhere", root / "out/icons");
  const BuildResult refused = BuildCatalogue(root / "jars", root / "out");
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.failure.find("链接"), std::string::npos) << refused.failure;
  EXPECT_EQ(test::ListFiles(root / "elsewhere"), "precious.png\n");
}

}  // namespace
}  // namespace kv::catalogue
