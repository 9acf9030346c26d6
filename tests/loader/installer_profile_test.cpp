#include "loader/installer_profile.h"

#include <gtest/gtest.h>

#include "loader/processor_values.h"
#include "tests/support/fixtures.h"

namespace kv {
namespace {

TEST(InstallerProfile, ItsFormatIsToldByItsKeys) {
  const Result<InstallerProfile> legacy =
      ReadInstallerProfile(test::ReadFixture("loaders/forge/1.12.2-14.23.5.2847-legacy/install_profile.json"));
  ASSERT_TRUE(legacy) << legacy.message();
  EXPECT_EQ(legacy->format, InstallerProfile::Format::Legacy);
  EXPECT_EQ(legacy->universalEntry, "forge-1.12.2-14.23.5.2847-universal.jar");
  EXPECT_EQ(legacy->universalCoordinate, "net.minecraftforge:forge:1.12.2-14.23.5.2847");
  VersionDescription versionInfo;
  ASSERT_TRUE(ParseVersionDescription(legacy->versionInfo, versionInfo));
  EXPECT_EQ(versionInfo.id, "1.12.2-forge1.12.2-14.23.5.2847");

  const Result<InstallerProfile> current =
      ReadInstallerProfile(test::ReadFixture("loaders/forge/1.20.1-47.2.0/install_profile.json"));
  ASSERT_TRUE(current) << current.message();
  EXPECT_EQ(current->format, InstallerProfile::Format::Current);
  EXPECT_EQ(current->descriptionEntry, "version.json");
  EXPECT_EQ(current->data.at("MC_SLIM"), "[net.minecraft:client:1.20.1-20230612.114412:slim]");
  EXPECT_EQ(current->data.at("BINPATCH"), "/data/client.lzma");
  // The server's processors are left out: six of ten run for the client.
  ASSERT_EQ(current->processors.size(), 6u);
  EXPECT_EQ(current->processors[0].args[1], "MCP_DATA");
  EXPECT_EQ(current->processors[3].jar, "net.minecraftforge:jarsplitter:1.1.4");
  EXPECT_EQ(current->processors[3].classpath.size(), 2u);
  EXPECT_EQ(current->processors[3].outputs.size(), 2u);
  EXPECT_EQ(current->libraries.size(), 46u);

  // The last 1.12.2 builds: today's form without processors.
  const Result<InstallerProfile> bare = ReadInstallerProfile(R"({"spec": 0, "json": "/version.json", "libraries": []})");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->format, InstallerProfile::Format::Current);
  EXPECT_TRUE(bare->processors.empty());

  EXPECT_EQ(ReadInstallerProfile(R"({"spec": 2})").kind(), FailureKind::Unsupported);
  for (const char* text : {"", "[]", R"({"install": {}})", R"({"spec": "1"})",
                           R"({"install": {"path": "a:b:1"}, "versionInfo": {}})",
                           R"({"spec": 1, "processors": [{"args": []}]})"}) {
    EXPECT_EQ(ReadInstallerProfile(text).kind(), FailureKind::Invalid) << text;
  }
}

TEST(ProcessorValues, DataAndArgumentsResolvedForTheClient) {
  std::vector<std::string> extracted;
  ProcessorValues values("/game/libraries", [&](const std::string& entry) -> Result<std::string> {
    extracted.push_back(entry);
    return "/scratch/" + entry;
  });
  values.Set("SIDE", "client");
  ASSERT_TRUE(values.Define("MAPPINGS", "[de.oceanlabs.mcp:mcp_config:1.20.1-20230612.114412:mappings@txt]"));
  ASSERT_TRUE(values.Define("MC_SLIM_SHA", "'de86b035d2da0f78940796bb95c39a932ed84834'"));
  ASSERT_TRUE(values.Define("BINPATCH", "/data/client.lzma"));
  EXPECT_EQ(extracted, std::vector<std::string>{"data/client.lzma"});

  EXPECT_EQ(*values.Resolve("{MAPPINGS}"),
            "/game/libraries/de/oceanlabs/mcp/mcp_config/1.20.1-20230612.114412/"
            "mcp_config-1.20.1-20230612.114412-mappings.txt");
  EXPECT_EQ(*values.Resolve("{MC_SLIM_SHA}"), "de86b035d2da0f78940796bb95c39a932ed84834");
  EXPECT_EQ(*values.Resolve("--side={SIDE}:{BINPATCH}"), "--side=client:/scratch/data/client.lzma");
  EXPECT_EQ(*values.Resolve("[net.neoforged:neoform:1.21.1-20240808.144430@zip]"),
            "/game/libraries/net/neoforged/neoform/1.21.1-20240808.144430/neoform-1.21.1-20240808.144430.zip");
  EXPECT_EQ(*values.Resolve("--ann-fix"), "--ann-fix");
  EXPECT_EQ(*values.Resolve("{unclosed"), "{unclosed");

  const Result<std::string> unknown = values.Resolve("{MC_EXTRA}");
  ASSERT_FALSE(unknown);
  EXPECT_EQ(unknown.message(), "{MC_EXTRA}");
  EXPECT_FALSE(values.Resolve("[org.evil:..:1:../../../../escape]"));
  EXPECT_FALSE(values.Define("EVIL", "[notacoordinate]"));
}

}  // namespace
}  // namespace kv
