#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "game/library_rules.h"
#include "launch/launch_command.h"
#include "meta/version_description.h"
#include "tests/launch/launch_test_support.h"
#include "tests/support/fixtures.h"

// The commands for the versions as their publisher released them, under both profiles.
namespace kv {
namespace {

using Strings = std::vector<std::string>;

VersionDescription Fixture(const std::string& version) {
  VersionDescription d;
  EXPECT_TRUE(ParseVersionDescription(test::ReadFixture("versions/version-" + version + ".json"), d));
  return d;
}


struct Expected {
  const char* version;
  const PlatformProfile& profile;
  std::size_t libraries;      // on the class path, before the version jar
  Strings nativesFolders;     // below the libraries root
  Strings gameArguments;
};


const Strings kModernArguments = {"--username", "Steve", "--version", "", "--gameDir", "", "--assetsDir", "",
                                  "--assetIndex", "", "--uuid", "{}", "--accessToken", "{}"};

void Check(const Expected& e) {
  SCOPED_TRACE(std::string(e.version) + " " + e.profile.osName);
  const VersionDescription d = Fixture(e.version);
  LaunchInputs inputs = test::ProfileInputs(e.profile);
  inputs.legacyAssets = UsesLegacyAssets(d.id);
  const LaunchCommandResult built = BuildLaunchCommand(d, inputs, e.profile, 64);
  ASSERT_TRUE(built.command) << built.refused;
  const LaunchCommand& command = *built.command;

  const Strings& args = command.arguments;
  ASSERT_GE(args.size(), 5u);
  EXPECT_EQ(args[0], inputs.javaPath);
  const std::string libraries = inputs.gamePath + "/libraries/";
  Strings natives;
  const std::string libraryPath = args[1].substr(std::string("-Djava.library.path=").size());
  for (const std::string& folder : test::SplitAt(libraryPath, e.profile.classPathSeparator)) {
    ASSERT_EQ(folder.rfind(libraries, 0), 0u) << folder;
    natives.push_back(folder.substr(libraries.size()));
  }
  EXPECT_EQ(natives, e.nativesFolders);
  EXPECT_EQ(args[2], "-cp");
  const Strings classPath = test::SplitAt(args[3], e.profile.classPathSeparator);
  ASSERT_EQ(classPath.size(), e.libraries + 1);
  for (std::size_t i = 0; i < e.libraries; ++i) {
    EXPECT_EQ(classPath[i].rfind(libraries, 0), 0u) << classPath[i];
    EXPECT_TRUE(classPath[i].ends_with(".jar")) << classPath[i];
  }
  const char s = e.profile.separator;
  EXPECT_EQ(classPath.back(), inputs.gamePath + s + "versions" + s + d.id + s + d.id + ".jar");
  EXPECT_EQ(args[4], "net.minecraft.client.main.Main");
  EXPECT_EQ(Strings(args.begin() + 5, args.end()), e.gameArguments);

  // The line holds the same pieces; only the Windows line ends the natives folders with a
  // separator.
  std::string line = inputs.javaPath + " -Djava.library.path=";
  for (std::size_t i = 0; i < natives.size(); ++i) {
    line += libraries + natives[i];
    if (e.profile.startsThroughShell || i + 1 < natives.size()) line += e.profile.classPathSeparator;
  }
  line += " -cp " + args[3] + " net.minecraft.client.main.Main";
  for (const std::string& argument : e.gameArguments) line += " " + argument;
  if (e.profile.startsThroughShell) line = "\"" + line + "\"";
  EXPECT_EQ(command.text, line);
}

TEST(PublishedVersions, OneSixFour) {
  const Strings arguments = {"--username", "Steve", "--session", "${auth_session}", "--version", "1.6.4",
                             "--gameDir", "", "--assetsDir", ""};
  Strings windows = arguments;
  windows[7] = "C:\\K\\.minecraft\\/../Instance/inst";
  windows[9] = "C:\\K\\.minecraft\\/assets/virtual/legacy";
  Check({"1.6.4", PlatformProfile::Windows(), 21,
         {"net/java/jinput/jinput-platform/2.0.5/", "org/lwjgl/lwjgl/lwjgl-platform/2.9.1-nightly-20130708-debug3/",
          "org/lwjgl/lwjgl/lwjgl-platform/2.9.0/"},
         windows});
  Strings linux = arguments;
  linux[7] = "/k/.minecraft//../Instance/inst";
  linux[9] = "/k/.minecraft//assets/virtual/legacy";
  Check({"1.6.4", PlatformProfile::Linux(), 18,
         {"net/java/jinput/jinput-platform/2.0.5/", "org/lwjgl/lwjgl/lwjgl-platform/2.9.0/"}, linux});
}

TEST(PublishedVersions, OneSevenTen) {
  Strings arguments = kModernArguments;
  arguments[3] = "1.7.10";
  arguments[9] = "1.7.10";
  arguments.insert(arguments.end(), {"--userProperties", "{}", "--userType", "legacy"});
  Strings windows = arguments;
  windows[5] = "C:\\K\\.minecraft\\/../Instance/inst";
  windows[7] = "C:\\K\\.minecraft\\\\assets";
  Check({"1.7.10", PlatformProfile::Windows(), 33,
         {"org/lwjgl/lwjgl/lwjgl-platform/2.9.1/", "net/java/jinput/jinput-platform/2.0.5/",
          "tv/twitch/twitch-platform/5.16/", "tv/twitch/twitch-external-platform/4.5/"},
         windows});
  Strings linux = arguments;
  linux[5] = "/k/.minecraft//../Instance/inst";
  linux[7] = "/k/.minecraft//assets";
  Check({"1.7.10", PlatformProfile::Linux(), 31,
         {"org/lwjgl/lwjgl/lwjgl-platform/2.9.1/", "net/java/jinput/jinput-platform/2.0.5/"}, linux});
}

TEST(PublishedVersions, OneTwelveTwo) {
  Strings arguments = kModernArguments;
  arguments[3] = "1.12.2";
  arguments[9] = "1.12";
  arguments.insert(arguments.end(), {"--userType", "legacy", "--versionType", "release"});
  Strings windows = arguments;
  windows[5] = "C:\\K\\.minecraft\\/../Instance/inst";
  windows[7] = "C:\\K\\.minecraft\\\\assets";
  Check({"1.12.2", PlatformProfile::Windows(), 39,
         {"org/lwjgl/lwjgl/lwjgl-platform/2.9.4-nightly-20150209/",
          "org/lwjgl/lwjgl/lwjgl-platform/2.9.2-nightly-20140822/", "net/java/jinput/jinput-platform/2.0.5/",
          "com/mojang/text2speech/1.10.3/"},
         windows});
  Strings linux = arguments;
  linux[5] = "/k/.minecraft//../Instance/inst";
  linux[7] = "/k/.minecraft//assets";
  Check({"1.12.2", PlatformProfile::Linux(), 34,
         {"org/lwjgl/lwjgl/lwjgl-platform/2.9.4-nightly-20150209/", "net/java/jinput/jinput-platform/2.0.5/",
          "com/mojang/text2speech/1.10.3/"},
         linux});
}

TEST(PublishedVersions, NativeJarsPerProfileAndBitness) {
  const VersionDescription d = Fixture("1.7.10");
  const LibraryEntry& twitch = d.libraries[31];
  ASSERT_EQ(twitch.name, "tv.twitch:twitch-platform:5.16");
  EXPECT_EQ(LibraryRelativePath(twitch, PlatformProfile::Windows(), 64),
            "tv/twitch/twitch-platform/5.16/twitch-platform-5.16-natives-windows-64.jar");
  EXPECT_EQ(LibraryRelativePath(twitch, PlatformProfile::Windows(), 32),
            "tv/twitch/twitch-platform/5.16/twitch-platform-5.16-natives-windows-32.jar");
  EXPECT_FALSE(IsLibraryUsed(twitch, SystemRuleEnvironment(PlatformProfile::Linux(), 64, ""), true));
  const LibraryEntry& lwjgl = d.libraries[28];
  ASSERT_EQ(lwjgl.name, "org.lwjgl.lwjgl:lwjgl-platform:2.9.1");
  EXPECT_EQ(LibraryRelativePath(lwjgl, PlatformProfile::Linux(), 64),
            "org/lwjgl/lwjgl/lwjgl-platform/2.9.1/lwjgl-platform-2.9.1-natives-linux.jar");
  for (const char* version : {"1.6.4", "1.7.10", "1.12.2"}) {
    for (const LibraryEntry& library : Fixture(version).libraries) {
      EXPECT_TRUE(IsSafeLibraryCoordinate(library.name)) << library.name;
    }
  }
}

}  // namespace
}  // namespace kv
