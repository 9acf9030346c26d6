#include "launch/launch_command.h"

#include <gtest/gtest.h>

#include "game/game_layout.h"

namespace kv {
namespace {

using Args = std::vector<std::string>;

const PlatformProfile& kWindows = PlatformProfile::Windows();
const PlatformProfile& kLinux = PlatformProfile::Linux();

constexpr const char* kTemplate =
    "--username ${auth_player_name} --version ${version_name} --gameDir ${game_directory} "
    "--assetsDir ${assets_root} --assetIndex ${assets_index_name} --uuid ${auth_uuid} "
    "--accessToken ${auth_access_token} --userProperties ${user_properties} --userType ${user_type}";

LibraryEntry Library(std::string name, std::string nativesWindows = "", std::string nativesLinux = "") {
  LibraryEntry library;
  library.name = std::move(name);
  library.nativesWindows = std::move(nativesWindows);
  library.nativesLinux = std::move(nativesLinux);
  return library;
}

VersionDescription Description(std::string arguments = kTemplate) {
  VersionDescription d;
  d.id = "1.7.10";
  d.assets = "1.7.10";
  d.mainClass = "M";
  d.minecraftArguments = std::move(arguments);
  d.libraries = {Library("a.b:c:1"), Library("n.x:nat:2", "natives-windows", "natives-linux")};
  return d;
}

LaunchInputs WindowsInputs() {
  LaunchInputs inputs;
  inputs.javaPath = "C:\\Java\\bin\\java.exe";
  inputs.playerName = "Steve";
  inputs.gamePath = "C:\\g\\";
  inputs.instanceName = "inst";
  inputs.userType = "legacy";
  return inputs;
}

LaunchInputs LinuxInputs() {
  LaunchInputs inputs = WindowsInputs();
  inputs.javaPath = "/usr/bin/java";
  inputs.gamePath = "/g/";
  return inputs;
}

// The command for a launch of the version `d` names, with its asset layout decided as a launch
// decides it.
LaunchCommand Build(const VersionDescription& d, LaunchInputs inputs, const PlatformProfile& profile,
                    int bitness = 64) {
  inputs.legacyAssets = UsesLegacyAssets(d.id);
  LaunchCommandResult result = BuildLaunchCommand(d, inputs, profile, bitness);
  EXPECT_TRUE(result.command) << result.refused;
  return result.command.value_or(LaunchCommand{});
}

// The text that a build refuses, or "built" when it builds a command.
std::string Refused(const VersionDescription& d, const LaunchInputs& inputs, const PlatformProfile& profile) {
  LaunchCommandResult result = BuildLaunchCommand(d, inputs, profile, 64);
  return result.command ? "built" : result.refused;
}

// The game arguments: what follows the main class.
Args GameArguments(const LaunchCommand& command, const std::string& mainClass = "M") {
  for (std::size_t i = 0; i < command.arguments.size(); ++i) {
    if (command.arguments[i] == mainClass) return Args(command.arguments.begin() + static_cast<long>(i) + 1, command.arguments.end());
  }
  return {};
}

TEST(LaunchCommand, WindowsLineByteForByte) {
  EXPECT_EQ(Build(Description(), WindowsInputs(), kWindows).text,
            "\"C:\\Java\\bin\\java.exe -Djava.library.path=C:\\g\\/libraries/n/x/nat/2/; "
            "-cp C:\\g\\/libraries/a/b/c/1/c-1.jar;C:\\g\\/libraries/n/x/nat/2/nat-2-natives-windows.jar;"
            "C:\\g\\\\versions\\1.7.10\\1.7.10.jar M --username Steve --version 1.7.10 "
            "--gameDir C:\\g\\/../Instance/inst --assetsDir C:\\g\\\\assets --assetIndex 1.7.10 "
            "--uuid {} --accessToken {} --userProperties {} --userType legacy\"");
}

TEST(LaunchCommand, LinuxArgumentVectorAndLine) {
  const LaunchCommand command = Build(Description(), LinuxInputs(), kLinux);
  EXPECT_EQ(command.arguments,
            (Args{"/usr/bin/java", "-Djava.library.path=/g//libraries/n/x/nat/2/", "-cp",
                  "/g//libraries/a/b/c/1/c-1.jar:/g//libraries/n/x/nat/2/nat-2-natives-linux.jar:"
                  "/g//versions/1.7.10/1.7.10.jar",
                  "M", "--username", "Steve", "--version", "1.7.10", "--gameDir", "/g//../Instance/inst",
                  "--assetsDir", "/g//assets", "--assetIndex", "1.7.10", "--uuid", "{}", "--accessToken",
                  "{}", "--userProperties", "{}", "--userType", "legacy"}));
  EXPECT_EQ(command.text,
            "/usr/bin/java -Djava.library.path=/g//libraries/n/x/nat/2/ -cp /g//libraries/a/b/c/1/c-1.jar:"
            "/g//libraries/n/x/nat/2/nat-2-natives-linux.jar:/g//versions/1.7.10/1.7.10.jar M --username Steve "
            "--version 1.7.10 --gameDir /g//../Instance/inst --assetsDir /g//assets --assetIndex 1.7.10 "
            "--uuid {} --accessToken {} --userProperties {} --userType legacy");
}

TEST(LaunchCommand, OnlyTheFirstOccurrenceOfAPlaceholderIsFilled) {
  VersionDescription d = Description(
      "${auth_access_token} ${auth_access_token} ${auth_uuid} ${user_properties} ${user_type} ${version_type} "
      "${version_type} ${auth_session}");
  d.type = "release";
  const std::string expected = "{} ${auth_access_token} {} {} legacy release ${version_type} ${auth_session}";
  const std::string text = Build(d, WindowsInputs(), kWindows).text;
  EXPECT_EQ(text.substr(text.size() - expected.size() - 1), expected + "\"");
  EXPECT_EQ(GameArguments(Build(d, LinuxInputs(), kLinux)),
            (Args{"{}", "${auth_access_token}", "{}", "{}", "legacy", "release", "${version_type}", "${auth_session}"}));
  // Within one word too.
  d.minecraftArguments = "--a=${auth_uuid},${auth_uuid}";
  LaunchInputs inputs = LinuxInputs();
  inputs.playerId = "id";
  EXPECT_EQ(GameArguments(Build(d, inputs, kLinux)), (Args{"--a=id,${auth_uuid}"}));
}

TEST(LaunchCommand, ValuesWithBlanks) {
  VersionDescription d = Description("--username ${auth_player_name} --gameDir ${game_directory}");
  LaunchInputs inputs = WindowsInputs();
  inputs.playerName = "Big Steve";
  inputs.instanceName = "My World";
  inputs.javaPath = "C:\\Program Files\\Java\\bin\\java.exe";
  const std::string text = Build(d, inputs, kWindows).text;
  EXPECT_EQ(text.rfind("\"\"C:\\Program Files\\Java\\bin\\java.exe\" -Djava", 0), 0u) << text;
  EXPECT_NE(text.find(" M --username \"Big Steve\" --gameDir \"C:\\g\\/../Instance/My World\"\""), std::string::npos) << text;

  inputs = LinuxInputs();
  inputs.playerName = "Big Steve";
  inputs.instanceName = "My World";
  inputs.javaPath = "/opt/my java/bin/java";
  const LaunchCommand command = Build(d, inputs, kLinux);
  EXPECT_EQ(command.arguments.front(), "/opt/my java/bin/java");
  EXPECT_EQ(GameArguments(command), (Args{"--username", "Big Steve", "--gameDir", "/g//../Instance/My World"}));
  EXPECT_EQ(command.text.rfind("\"/opt/my java/bin/java\" ", 0), 0u);
}

TEST(LaunchCommand, FilledValuesAreNotSearchedAgain) {
  VersionDescription d = Description("--username ${auth_player_name} --accessToken ${auth_access_token}");
  LaunchInputs inputs = LinuxInputs();
  inputs.playerName = "${auth_access_token}";
  inputs.accessToken = "secret";
  EXPECT_EQ(GameArguments(Build(d, inputs, kLinux)),
            (Args{"--username", "${auth_access_token}", "--accessToken", "secret"}));
  EXPECT_NE(Build(d, inputs, kWindows).text.find("--username ${auth_access_token} --accessToken secret\""),
            std::string::npos);
}

TEST(LaunchCommand, MemoryOptionsOnlyForExactlyFalse) {
  LaunchInputs inputs = WindowsInputs();
  inputs.jvmMemoryMin = "512";
  inputs.jvmMemoryMax = "2048";
  for (const char* automatic : {"true", "False", "FALSE", "false ", "", "no"}) {
    inputs.isAutoMallocMemory = automatic;
    EXPECT_EQ(Build(Description(), inputs, kWindows).text.find("-Xm"), std::string::npos) << automatic;
  }
  inputs.isAutoMallocMemory = "false";
  EXPECT_EQ(Build(Description(), inputs, kWindows).text.rfind("\"C:\\Java\\bin\\java.exe -Xms512M -Xmx2048M -Djava.library.path=", 0), 0u);
  inputs.jvmMemoryMin = "abc";  // inserted as stored
  LaunchInputs linux = LinuxInputs();
  linux.isAutoMallocMemory = "false";
  linux.jvmMemoryMin = "abc";
  linux.jvmMemoryMax = "1024";
  const Args args = Build(Description(), linux, kLinux).arguments;
  EXPECT_EQ(Args(args.begin(), args.begin() + 3), (Args{"/usr/bin/java", "-XmsabcM", "-Xmx1024M"}));
}

TEST(LaunchCommand, ExtraJavaArgumentsFollowTheMemoryOptions) {
  LaunchInputs inputs = LinuxInputs();
  inputs.isAutoMallocMemory = "false";
  inputs.jvmMemoryMin = "1";
  inputs.jvmMemoryMax = "2";
  inputs.launchParameters = "  -XX:+UseG1GC -Dname=\"a b\" '-Dq=$HOME;rm -rf x'  ";
  const LaunchCommand command = Build(Description(), inputs, kLinux);
  EXPECT_EQ(Args(command.arguments.begin(), command.arguments.begin() + 7),
            (Args{"/usr/bin/java", "-Xms1M", "-Xmx2M", "-XX:+UseG1GC", "-Dname=a b", "-Dq=$HOME;rm -rf x",
                  "-Djava.library.path=/g//libraries/n/x/nat/2/"}));
  inputs = WindowsInputs();
  inputs.launchParameters = "-XX:+UseG1GC -Dpath=\"C:\\My Files\"";
  EXPECT_EQ(Build(Description(), inputs, kWindows).text.rfind(
                "\"C:\\Java\\bin\\java.exe -XX:+UseG1GC \"-Dpath=C:\\My Files\" -Djava.library.path=", 0), 0u);
}

TEST(LaunchCommand, TheLeadingJvmArgumentsComeBeforeEveryOther) {
  LaunchInputs inputs = WindowsInputs();
  inputs.leadingJvmArguments = {"-javaagent:C:\\My Games\\authlib-injector.jar=https://skin.example/api",
                                "-Dauthlibinjector.yggdrasil.prefetched=eyJtZXRhIjp7fX0="};
  inputs.isAutoMallocMemory = "false";
  inputs.jvmMemoryMin = "1";
  inputs.jvmMemoryMax = "2";
  inputs.launchParameters = "-XX:+UseG1GC";
  EXPECT_EQ(Build(Description(), inputs, kWindows).text.rfind(
                "\"C:\\Java\\bin\\java.exe \"-javaagent:C:\\My Games\\authlib-injector.jar=https://skin.example/api\" "
                "-Dauthlibinjector.yggdrasil.prefetched=eyJtZXRhIjp7fX0= -Xms1M -Xmx2M -XX:+UseG1GC -Djava.library.path=",
                0),
            0u);
}

TEST(LaunchCommand, NoLibrariesStillNameTheVersionsNativesFolder) {
  VersionDescription d = Description("");
  d.libraries.clear();
  EXPECT_EQ(Build(d, WindowsInputs(), kWindows).text,
            "\"C:\\Java\\bin\\java.exe -Djava.library.path=C:\\g\\\\versions\\1.7.10\\natives-windows; "
            "-cp C:\\g\\\\versions\\1.7.10\\1.7.10.jar M \"");
  const LaunchCommand linux = Build(d, LinuxInputs(), kLinux);
  EXPECT_EQ(linux.arguments, (Args{"/usr/bin/java", "-Djava.library.path=/g//versions/1.7.10/natives-linux", "-cp",
                                   "/g//versions/1.7.10/1.7.10.jar", "M"}));
  EXPECT_EQ(linux.nativesFolders, Args{"/g//versions/1.7.10/natives-linux"});
}

TEST(LaunchCommand, NativesOnTheClassPathGetTheVersionsOwnFolderEverywhereTheyAreNamed) {
  // As today's descriptions name the natives folder: natives come as jars on the class path,
  // which the game unpacks into the folder it is told.
  VersionDescription d = Description("");
  d.id = "1.20.1";
  LibraryEntry natives = Library("org.lwjgl:lwjgl:3.3.1:natives-linux");
  natives.artifact = RemoteFile{"org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar", "", "", -1};
  d.libraries = {Library("org.lwjgl:lwjgl:3.3.1"), natives};
  d.jvmArguments = std::vector<ArgumentEntry>{};
  for (const char* option : {"-Djava.library.path=", "-Djna.tmpdir=", "-Dorg.lwjgl.system.SharedLibraryExtractPath=",
                             "-Dio.netty.native.workdir="}) {
    ArgumentEntry entry;
    entry.values = {std::string(option) + "${natives_directory}"};
    d.jvmArguments->push_back(entry);
  }
  const LaunchCommand linux = Build(d, LinuxInputs(), kLinux);
  const std::string folder = "/g//versions/1.20.1/natives-linux";
  EXPECT_EQ(Args(linux.arguments.begin() + 1, linux.arguments.begin() + 5),
            (Args{"-Djava.library.path=" + folder, "-Djna.tmpdir=" + folder,
                  "-Dorg.lwjgl.system.SharedLibraryExtractPath=" + folder, "-Dio.netty.native.workdir=" + folder}));
  EXPECT_EQ(linux.nativesFolders, Args{folder});
  const std::string text = Build(d, WindowsInputs(), kWindows).text;
  EXPECT_NE(text.find(" -Djna.tmpdir=C:\\g\\\\versions\\1.20.1\\natives-windows "), std::string::npos) << text;
}

TEST(LaunchCommand, NativesFoldersOncePerLibraryAndQuotedWithBlanks) {
  VersionDescription d = Description("");
  d.libraries = {Library("t:speech:1"), Library("t:speech:1", "natives-windows", "natives-linux"),
                 Library("t:speech:1", "natives-windows-${arch}", "natives-linux")};
  LaunchInputs inputs = WindowsInputs();
  inputs.gamePath = "C:\\my game\\";
  const std::string text = Build(d, inputs, kWindows, 32).text;
  EXPECT_NE(text.find("-Djava.library.path=\"C:\\my game\\/libraries/t/speech/1/\";\"C:\\my game\\/libraries/t/speech/1/\"; -cp "),
            std::string::npos) << text;
  EXPECT_NE(text.find("\"C:\\my game\\/libraries/t/speech/1/speech-1-natives-windows-32.jar\";"), std::string::npos) << text;
  const LaunchCommand linux = Build(d, LinuxInputs(), kLinux);
  EXPECT_EQ(linux.arguments[1], "-Djava.library.path=/g//libraries/t/speech/1/:/g//libraries/t/speech/1/");
  // The host's line ends no list with a separator.
  EXPECT_NE(linux.text.find(" -Djava.library.path=/g//libraries/t/speech/1/:/g//libraries/t/speech/1/ -cp "),
            std::string::npos) << linux.text;
  // Unpacked natives keep their folders: the version's own is not added.
  EXPECT_EQ(linux.nativesFolders, (Args{"/g//libraries/t/speech/1/", "/g//libraries/t/speech/1/"}));
}

TEST(LaunchCommand, LegacyAssetsForIdsWithOneSixOrOneSevenTwo) {
  VersionDescription d = Description("--assetsDir ${game_assets} --root ${assets_root}");
  for (const char* id : {"1.6.4", "1.7.2", "11.6"}) {
    d.id = id;
    EXPECT_EQ(GameArguments(Build(d, LinuxInputs(), kLinux)),
              (Args{"--assetsDir", "/g//assets/virtual/legacy", "--root", "${assets_root}"})) << id;
    EXPECT_NE(Build(d, WindowsInputs(), kWindows).text.find("--assetsDir C:\\g\\/assets/virtual/legacy --root ${assets_root}\""),
              std::string::npos);
  }
  d.id = "1.7.10";
  EXPECT_EQ(GameArguments(Build(d, LinuxInputs(), kLinux)),
            (Args{"--assetsDir", "${game_assets}", "--root", "/g//assets"}));
}

TEST(LaunchCommand, EmptyGameFolderGivesBraces) {
  VersionDescription d = Description("${game_directory} ${assets_root} ${version_name}");
  LaunchInputs inputs = LinuxInputs();
  inputs.gamePath.clear();
  EXPECT_EQ(GameArguments(Build(d, inputs, kLinux)), (Args{"{}", "{}", "1.7.10"}));
  d.id = "1.6.4";
  d.minecraftArguments = "${game_assets}";
  EXPECT_EQ(GameArguments(Build(d, inputs, kLinux)), (Args{"{}"}));
}

TEST(LaunchCommand, BlankRunsInTheTemplate) {
  VersionDescription d = Description("  --a   ${user_type}\t--b  ");
  EXPECT_EQ(GameArguments(Build(d, LinuxInputs(), kLinux)), (Args{"--a", "legacy", "--b"}));
  const std::string text = Build(d, WindowsInputs(), kWindows).text;
  EXPECT_TRUE(text.ends_with(" M   --a   legacy\t--b  \"")) << text;
}

TEST(LaunchCommand, LibrariesTheRulesLeaveOutAreNotOnTheLinuxCommand) {
  VersionDescription d = Description("");
  LibraryEntry osxOnly = Library("o:osx:1", "natives-windows", "natives-linux");
  osxOnly.rules = {{"allow", "osx"}};
  d.libraries.push_back(osxOnly);
  EXPECT_EQ(Build(d, LinuxInputs(), kLinux).text.find("osx"), std::string::npos);
  EXPECT_NE(Build(d, WindowsInputs(), kWindows).text.find("o/osx/1/osx-1-natives-windows.jar"), std::string::npos);
}

TEST(LaunchCommand, UnsafeNamesAreRefused) {
  VersionDescription d = Description();
  for (const char* id : {"../../evil", "a\\b", "..", ""}) {
    d.id = id;
    EXPECT_EQ(Refused(d, LinuxInputs(), kLinux), id);
  }
  d = Description();
  LibraryEntry evil = Library("a:b:../../../../etc/x");
  d.libraries.push_back(evil);
  EXPECT_EQ(Refused(d, LinuxInputs(), kLinux), evil.name);
  // A class-path separator in a library's path would add entries of the network's choosing:
  // the version "1:x" is fine where ";" separates, refused where ":" does.
  d = Description();
  d.libraries.push_back(Library("a.b:c:1:/tmp/evil"));
  EXPECT_EQ(Refused(d, LinuxInputs(), kLinux), "a.b:c:1:/tmp/evil");
  EXPECT_NE(Build(d, WindowsInputs(), kWindows).text.find(";C:\\g\\/libraries/a/b/c/1:/tmp/evil/c-1:/tmp/evil.jar;"),
            std::string::npos);
  d.libraries.back().name = "a.b:c:1;x";
  EXPECT_EQ(Refused(d, WindowsInputs(), kWindows), "a.b:c:1;x");
  EXPECT_EQ(Refused(d, LinuxInputs(), kLinux), "built");
  d.libraries.back().name = "a:b:../../../../etc/x";
  // A library that the profile leaves out is never turned into a path, so it refuses nothing.
  d.libraries.back().rules = {{"allow", "osx"}};
  EXPECT_EQ(Refused(d, LinuxInputs(), kLinux), "built");
  EXPECT_EQ(Refused(d, WindowsInputs(), kWindows), "a:b:../../../../etc/x");
}
}  // namespace
}  // namespace kv
