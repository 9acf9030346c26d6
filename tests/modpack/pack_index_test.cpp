#include "modpack/pack_index.h"

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace kv {
namespace {

constexpr const char* kSha512 =
    "cd278d2afeed563c956dbfd6eecdcbcc5af334d16ebab106a498e35f716b724b81172f2b17727ae2dbd69766a4f24298bfcc9f47b2d6802d66b5c6278f0269a3";

std::string IndexWith(const std::string& dependencies, const std::string& file) {
  return R"({"formatVersion":1,"game":"minecraft","versionId":"1","name":"P","dependencies":)" + dependencies +
         R"(,"files":[)" + file + "]}";
}

std::string FileAt(const std::string& path) {
  std::string escaped;
  for (char c : path) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return R"({"path":")" + escaped + R"(","hashes":{"sha512":")" + kSha512 +
         R"("},"downloads":["https://cdn.example/a.jar"],"fileSize":3})";
}

TEST(PackIndex, ReadsAPublishedFabricPack) {
  const Result<PackIndex> index =
      ReadPackIndex(test::ReadFixture("modpacks/fabric-ALANDs-Optimized-Hypixel-SkyBlock-3.4.3-mc1.21.11.modrinth.index.json"));
  ASSERT_TRUE(index) << index.message();
  EXPECT_EQ(index->name, "ALAND's Optimized Hypixel SkyBlock 1.21.11");
  EXPECT_EQ(index->versionId, "3.4.3");
  EXPECT_EQ(index->gameVersion, "1.21.11");
  ASSERT_TRUE(index->loader);
  EXPECT_EQ(index->loader->kind, LoaderKind::Fabric);
  EXPECT_EQ(index->loader->version, "0.19.2");
  ASSERT_EQ(index->files.size(), 61u);
  const PackFile& first = index->files.front();
  EXPECT_EQ(first.path, "mods/AsyncParticles-Lite-0.8.0-alpha+1.21.11.jar");
  EXPECT_EQ(first.size, 629010);
  EXPECT_EQ(first.sha1, "b925e8067d5156815add8e7326f90fe2942cd117");
  EXPECT_EQ(first.sha512, kSha512);
  ASSERT_EQ(first.urls.size(), 1u);
  EXPECT_EQ(first.urls[0],
            "https://cdn.modrinth.com/data/c3onkd5k/versions/vWCubM5V/AsyncParticles-Lite-0.8.0-alpha%2B1.21.11.jar");
}

TEST(PackIndex, KnowsEachLoaderAndTheClientSide) {
  for (const auto& [key, kind] : {std::pair{"forge", LoaderKind::Forge}, std::pair{"neoforge", LoaderKind::NeoForge},
                                  std::pair{"quilt-loader", LoaderKind::Quilt}}) {
    const Result<PackIndex> index =
        ReadPackIndex(IndexWith(std::string(R"({"minecraft":"1.20.1",")") + key + R"(":"47.2.0"})", FileAt("mods/a.jar")));
    ASSERT_TRUE(index) << key << ": " << index.message();
    EXPECT_EQ(index->loader->kind, kind) << key;
  }
  const std::string optional = R"({"path":"mods/o.jar","hashes":{"sha512":")" + std::string(kSha512) +
                               R"("},"downloads":["https://x/o"],"fileSize":1,"env":{"client":"optional","server":"required"}})";
  const Result<PackIndex> vanilla = ReadPackIndex(IndexWith(R"({"minecraft":"1.20.1"})", optional));
  ASSERT_TRUE(vanilla) << vanilla.message();
  EXPECT_FALSE(vanilla->loader);
  EXPECT_EQ(vanilla->files[0].client, ClientUse::Optional);
}

TEST(PackIndex, RefusesWhatItCannotImport) {
  const std::string fine = FileAt("mods/a.jar");
  const std::string game = R"({"minecraft":"1.20.1"})";
  struct Case {
    std::string text;
    FailureKind kind;
  };
  const Case cases[] = {
      {"not json", FailureKind::Invalid},
      {R"({"formatVersion":2,"game":"minecraft","dependencies":{"minecraft":"1"},"files":[]})", FailureKind::Unsupported},
      {R"({"formatVersion":1,"game":"other","dependencies":{"minecraft":"1"},"files":[]})", FailureKind::Unsupported},
      {IndexWith(R"({"fabric-loader":"1"})", fine), FailureKind::Invalid},  // no game version
      {IndexWith(R"({"minecraft":"1.20.1","forge":"1","fabric-loader":"2"})", fine), FailureKind::Unsupported},
      {IndexWith(R"({"minecraft":"1.20.1","liteloader":"1"})", fine), FailureKind::Unsupported},
      {IndexWith(R"({"minecraft":"../1"})", fine), FailureKind::Invalid},
      {IndexWith(game, R"({"path":"mods/a.jar","hashes":{"sha1":"b925e8067d5156815add8e7326f90fe2942cd117"},"downloads":["https://x/a"],"fileSize":1})"),
       FailureKind::Invalid},  // no SHA-512
      {IndexWith(game, R"({"path":"mods/a.jar","hashes":{"sha512":")" + std::string(kSha512) + R"("},"downloads":[],"fileSize":1})"),
       FailureKind::Invalid},
      {IndexWith(game, R"({"path":"mods/a.jar","hashes":{"sha512":")" + std::string(kSha512) +
                           R"("},"downloads":["https://x/a"],"fileSize":-4})"),
       FailureKind::Invalid},
      {IndexWith(game, fine + "," + fine), FailureKind::Invalid},  // one path twice
  };
  for (const Case& c : cases) {
    const Result<PackIndex> index = ReadPackIndex(c.text);
    ASSERT_FALSE(index) << c.text;
    EXPECT_EQ(index.kind(), c.kind) << c.text << ": " << index.message();
  }
}

TEST(PackIndex, PathsStayInsideTheInstance) {
  for (const char* path : {"mods/a.jar", "config/x/y.toml", "options.txt", "mods/a+b.jar"}) {
    EXPECT_TRUE(IsSafePackPath(path)) << path;
  }
  for (const char* path : {"", "../a.jar", "mods/../../a.jar", "/etc/passwd", "C:/Windows/a.dll", "c:a.jar",
                           "mods\\..\\..\\a.jar", "mods\\a.jar", "mods//a.jar", "mods/./a.jar", "mods/", "mods/a\nb.jar"}) {
    EXPECT_FALSE(IsSafePackPath(path)) << path;
    const Result<PackIndex> index = ReadPackIndex(IndexWith(R"({"minecraft":"1.20.1"})", FileAt(path)));
    if (std::string(path).find('\n') != std::string::npos) continue;  // not valid JSON as written
    ASSERT_FALSE(index) << path;
    EXPECT_EQ(index.kind(), FailureKind::Refused) << path;
  }
}

}  // namespace
}  // namespace kv
