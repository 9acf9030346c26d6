#include <gtest/gtest.h>

#include "loader/install_sink.h"
#include "loader/loader_kind.h"
#include "loader/loader_version.h"

namespace kv {
namespace {

TEST(LoaderVersion, OrderedAsMavenOrdersVersions) {
  // Each older than the next.
  const std::vector<std::vector<const char*>> ascending = {
      {"0.9.9", "0.16.9", "0.16.10"},
      {"21.0.1-beta", "21.0.2-beta", "21.0.10-beta", "21.1.1"},
      {"0.30.0-alpha.1", "0.30.0-beta.2", "0.30.0-beta.10", "0.30.0-rc.1", "0.30.0", "0.30.1"},
      {"1.20.1-47.1.9", "1.20.1-47.1.106"},
      {"14.23.5.2847", "14.23.5.2859"},
      {"007", "8"},
  };
  for (const auto& chain : ascending) {
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
      EXPECT_LT(CompareLoaderVersions(chain[i], chain[i + 1]), 0) << chain[i] << " < " << chain[i + 1];
      EXPECT_GT(CompareLoaderVersions(chain[i + 1], chain[i]), 0) << chain[i + 1] << " > " << chain[i];
    }
  }
  EXPECT_EQ(CompareLoaderVersions("47.2.0", "47.2.0"), 0);
  EXPECT_EQ(CompareLoaderVersions("", ""), 0);
}

TEST(LoaderVersion, PrereleaseMarksAreLettersAfterADash) {
  for (const char* id : {"0.30.1-beta.3", "21.0.0-alpha.1.21.1", "1.0-rc1"}) {
    EXPECT_TRUE(IsPrereleaseId(id)) << id;
  }
  for (const char* id : {"0.16.10", "1.20.1-47.1.106", "0.7.2+build.175", "-", ""}) EXPECT_FALSE(IsPrereleaseId(id)) << id;
}

TEST(LoaderVersion, StableNewestFirstAndTheDefaultChoice) {
  std::vector<LoaderVersion> versions = {
      {"0.16.9", true}, {"0.17.0-beta.1", false}, {"0.16.10", true}, {"0.15.11", true}, {"0.17.1-beta.2", false}};
  OrderNewestStableFirst(versions);
  std::vector<std::string> ids;
  for (const LoaderVersion& version : versions) ids.push_back(version.id);
  EXPECT_EQ(ids, (std::vector<std::string>{"0.16.10", "0.16.9", "0.15.11", "0.17.1-beta.2", "0.17.0-beta.1"}));
  EXPECT_EQ(DefaultLoaderVersion(versions)->id, "0.16.10");

  // Only pre-releases: the newest of them.
  std::vector<LoaderVersion> betas = {{"21.0.1-beta", false}, {"21.0.5-beta", false}};
  OrderNewestStableFirst(betas);
  EXPECT_EQ(DefaultLoaderVersion(betas)->id, "21.0.5-beta");

  // Forge's recommended build wins over newer ones.
  std::vector<LoaderVersion> forge = {{"47.4.10", false, false}, {"47.2.0", false, true}, {"47.3.0", false, false}};
  OrderNewestStableFirst(forge);
  EXPECT_EQ(forge.front().id, "47.4.10");
  EXPECT_EQ(DefaultLoaderVersion(forge)->id, "47.2.0");

  EXPECT_EQ(DefaultLoaderVersion({}), nullptr);
}

TEST(InstallStep, TextsAsAProgressWindowShowsThem) {
  EXPECT_EQ(InstallStepText(InstallStep::Installer, 0, 0), "下载安装器");
  EXPECT_EQ(InstallStepText(InstallStep::Libraries, 12, 40), "下载库文件 12/40");
  EXPECT_EQ(InstallStepText(InstallStep::Processors, 3, 6), "运行处理器 3/6");
  EXPECT_EQ(InstallStepText(InstallStep::GameDescription, 0, 0), "获取游戏版本描述文件");
}

TEST(LoaderKind, NamesAsTypedAndAsPublished) {
  for (LoaderKind kind : kLoaderKinds) EXPECT_EQ(ParseLoaderKind(LoaderKindName(kind)), kind);
  EXPECT_EQ(ParseLoaderKind("NeoForge"), LoaderKind::NeoForge);
  EXPECT_EQ(ParseLoaderKind("FABRIC"), LoaderKind::Fabric);
  for (const char* wrong : {"", "fabri", "fabric ", "forge:47.2.0", "liteloader"}) {
    EXPECT_EQ(ParseLoaderKind(wrong), std::nullopt) << wrong;
  }
  EXPECT_EQ(LoaderDisplayName(LoaderKind::NeoForge), "NeoForge");
}

}  // namespace
}  // namespace kv
