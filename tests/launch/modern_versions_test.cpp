#include <gtest/gtest.h>

#include "game/game_layout.h"
#include "launch/launch_command.h"
#include "meta/version_description.h"
#include "meta/version_inheritance.h"
#include "tests/launch/launch_test_support.h"
#include "tests/support/fixtures.h"

// The commands for today's descriptions as players have them, argument by argument, under both
// profiles: the Java arguments and game arguments of the description with their rules, every
// placeholder filled, the loaders' module path and targets.
namespace kv {
namespace {

using Strings = std::vector<std::string>;

VersionDescription Fixture(const std::string& name) {
  VersionDescription d;
  EXPECT_TRUE(ParseVersionDescription(test::ReadFixture("versions/modern/" + name + ".json"), d));
  return d;
}

// Forge 1.18.2 laid over the game version it extends.
VersionDescription Forge1182() { return MergeOverParent(Fixture("1.18.2-forge-40.2.9"), Fixture("1.18.2")); }

bool IsWindows(const PlatformProfile& profile) { return &profile == &PlatformProfile::Windows(); }



// What a command must hold. In `java`, "<natives>" stands for -Djava.library.path= with the
// natives folders (none expected: the version's own) and "<classpath>" for the class path;
// both are checked on their own.
struct Expected {
  VersionDescription description;
  const PlatformProfile& profile;
  Strings java;
  std::string mainClass;
  Strings game;                // after the common arguments every version has
  std::size_t classPathJars;   // libraries, without the version jar
  std::size_t nativesFolders;
};

Strings CommonGameArguments(const VersionDescription& d, const LaunchInputs& inputs, const PlatformProfile& profile) {
  return {"--username", "Steve", "--version", d.id, "--gameDir", GameDirectoryArgument(inputs.gamePath, "inst"),
          "--assetsDir", AssetRootArgument(inputs.gamePath, profile), "--assetIndex", d.assets, "--uuid", "{}",
          "--accessToken", "{}", "--clientId", "", "--xuid", "", "--userType", "legacy", "--versionType", "release"};
}

void Check(const Expected& e) {
  const VersionDescription& d = e.description;
  SCOPED_TRACE(d.id + " " + e.profile.osName);
  const LaunchInputs inputs = test::ProfileInputs(e.profile);
  const LaunchCommandResult built = BuildLaunchCommand(d, inputs, e.profile, 64);
  ASSERT_TRUE(built.command) << built.refused;
  const Strings& args = built.command->arguments;
  for (const std::string& argument : args) EXPECT_EQ(argument.find("${"), std::string::npos) << argument;
  // No launch feature is on.
  for (const char* off : {"--demo", "--width", "--height", "--quickPlaySingleplayer"}) {
    EXPECT_EQ(std::count(args.begin(), args.end(), off), 0) << off;
  }

  ASSERT_EQ(args.size(), 1 + e.java.size() + 1 + 22 + e.game.size());
  EXPECT_EQ(args[0], inputs.javaPath);
  const std::string libraries = inputs.gamePath + "/libraries/";
  const char separator = e.profile.classPathSeparator;
  Strings classPath;
  for (std::size_t i = 0; i < e.java.size(); ++i) {
    const std::string& argument = args[1 + i];
    if (e.java[i] == "<natives>") {
      ASSERT_EQ(argument.rfind("-Djava.library.path=", 0), 0u) << argument;
      const Strings natives = test::SplitAt(argument.substr(20), separator);
      if (e.nativesFolders == 0) {
        // Natives on the class path: the version's own folder, for the game to unpack them into.
        EXPECT_EQ(natives, Strings{VersionNativesFolder(inputs.gamePath, d.id, e.profile)});
      } else {
        EXPECT_EQ(natives.size(), e.nativesFolders);
        for (const std::string& folder : natives) EXPECT_EQ(folder.rfind(libraries, 0), 0u) << folder;
      }
    } else if (e.java[i] == "<classpath>") {
      classPath = test::SplitAt(argument, separator);
    } else {
      EXPECT_EQ(argument, e.java[i]);
    }
  }
  ASSERT_EQ(classPath.size(), e.classPathJars + 1);
  for (std::size_t i = 0; i < e.classPathJars; ++i) {
    EXPECT_EQ(classPath[i].rfind(libraries, 0), 0u) << classPath[i];
    EXPECT_TRUE(classPath[i].ends_with(".jar")) << classPath[i];
    // Natives of other systems stay off the class path.
    const bool foreign = IsWindows(e.profile) ? classPath[i].find("natives-linux") != std::string::npos
                                             : classPath[i].find("natives-windows") != std::string::npos;
    EXPECT_FALSE(foreign || classPath[i].find("natives-macos") != std::string::npos) << classPath[i];
  }
  EXPECT_EQ(classPath.back(), VersionJarCommandPath(inputs.gamePath, d.id, e.profile));
  EXPECT_EQ(args[1 + e.java.size()], e.mainClass);
  Strings game = CommonGameArguments(d, inputs, e.profile);
  game.insert(game.end(), e.game.begin(), e.game.end());
  EXPECT_EQ(Strings(args.begin() + static_cast<long>(2 + e.java.size()), args.end()), game);

  // A module path names jars of the class path.
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (args[i] != "-p") continue;
    for (const std::string& module : test::SplitAt(args[i + 1], separator)) {
      EXPECT_NE(std::find(classPath.begin(), classPath.end(), module), classPath.end()) << module;
    }
  }
}

const Strings kLinuxJava = {"<natives>", "-Dminecraft.launcher.brand=Korvane", "-Dminecraft.launcher.version=0.1.3",
                            "-cp", "<classpath>"};
const Strings kWindowsJava = {"-XX:HeapDumpPath=MojangTricksIntelDriversForPerformance_javaw.exe_minecraft.exe.heapdump",
                              "-Dos.name=Windows 10", "-Dos.version=10.0", "<natives>",
                              "-Dminecraft.launcher.brand=Korvane", "-Dminecraft.launcher.version=0.1.3", "-cp",
                              "<classpath>"};
constexpr const char* kMain = "net.minecraft.client.main.Main";

TEST(ModernVersions, OneEighteenTwo) {
  // Natives still come as "natives" entries, unpacked beside their jars.
  Check({Fixture("1.18.2"), PlatformProfile::Linux(), kLinuxJava, kMain, {}, 44, 8});
  Check({Fixture("1.18.2"), PlatformProfile::Windows(), kWindowsJava, kMain, {}, 44, 8});
}

TEST(ModernVersions, OneNineteenThreeAndFour) {
  // Natives are libraries of their own for each system, loaded from the class path.
  Check({Fixture("1.19.3"), PlatformProfile::Linux(), kLinuxJava, kMain, {}, 53, 0});
  Check({Fixture("1.19.3"), PlatformProfile::Windows(), kWindowsJava, kMain, {}, 65, 0});
  // 1.19.4 as another launcher saved it: its -Xss1M applies everywhere.
  Strings linux = kLinuxJava;
  linux.insert(linux.begin(), "-Xss1M");
  Check({Fixture("1.19.4"), PlatformProfile::Linux(), linux, kMain, {}, 52, 0});
  Strings windows = kWindowsJava;
  windows.insert(windows.begin() + 3, "-Xss1M");
  Check({Fixture("1.19.4"), PlatformProfile::Windows(), windows, kMain, {}, 64, 0});
}

Strings ForgeJava(const Strings& vanilla, const std::string& libraries, char separator, const Strings& modules,
                  const std::string& ignoreList, const std::string& mergeModules) {
  Strings java = vanilla;
  std::string modulePath;
  for (const std::string& module : modules) modulePath += (modulePath.empty() ? "" : std::string(1, separator)) + libraries + "/" + module;
  java.insert(java.end(), {"-Djava.net.preferIPv6Addresses=system", "-DignoreList=" + ignoreList, "-DmergeModules=" + mergeModules,
                           "-DlibraryDirectory=" + libraries, "-p", modulePath, "--add-modules", "ALL-MODULE-PATH",
                           "--add-opens", "java.base/java.util.jar=cpw.mods.securejarhandler", "--add-opens",
                           "java.base/java.lang.invoke=cpw.mods.securejarhandler", "--add-exports",
                           "java.base/sun.security.util=cpw.mods.securejarhandler", "--add-exports",
                           "jdk.naming.dns/com.sun.jndi.dns=java.naming"});
  return java;
}

TEST(ModernVersions, ForgeOverItsGameVersion) {
  const Strings modules = {"cpw/mods/bootstraplauncher/1.0.0/bootstraplauncher-1.0.0.jar",
                           "cpw/mods/securejarhandler/1.0.8/securejarhandler-1.0.8.jar",
                           "org/ow2/asm/asm-commons/9.5/asm-commons-9.5.jar",
                           "org/ow2/asm/asm-util/9.5/asm-util-9.5.jar",
                           "org/ow2/asm/asm-analysis/9.5/asm-analysis-9.5.jar",
                           "org/ow2/asm/asm-tree/9.5/asm-tree-9.5.jar",
                           "org/ow2/asm/asm/9.5/asm-9.5.jar",
                           "net/minecraftforge/JarJarFileSystems/0.3.19/JarJarFileSystems-0.3.19.jar"};
  const std::string ignore = "bootstraplauncher,securejarhandler,asm-commons,asm-util,asm-analysis,asm-tree,asm,"
                             "JarJarFileSystems,client-extra,fmlcore,javafmllanguage,lowcodelanguage,mclanguage,forge-,"
                             "1.18.2-forge-40.2.9.jar";
  const std::string merge = "jna-5.10.0.jar,jna-platform-5.10.0.jar,java-objc-bridge-1.0.0.jar";
  const Strings game = {"--launchTarget", "forgeclient", "--fml.forgeVersion", "40.2.9", "--fml.mcVersion", "1.18.2",
                        "--fml.forgeGroup", "net.minecraftforge", "--fml.mcpVersion", "20220404.173914"};
  const std::string bootstrap = "cpw.mods.bootstraplauncher.BootstrapLauncher";
  Check({Forge1182(), PlatformProfile::Linux(),
         ForgeJava(kLinuxJava, "/k/.minecraft//libraries", ':', modules, ignore, merge), bootstrap, game, 27 + 44, 8});
  Check({Forge1182(), PlatformProfile::Windows(),
         ForgeJava(kWindowsJava, "C:\\K\\.minecraft\\/libraries", ';', modules, ignore, merge), bootstrap, game, 27 + 44, 8});
}

TEST(ModernVersions, ForgeSavedFlattened) {
  const VersionDescription d = Fixture("1.19.3-forge-44.1.0");
  const LaunchCommandResult built =
      BuildLaunchCommand(d, test::ProfileInputs(PlatformProfile::Linux()), PlatformProfile::Linux(), 64);
  ASSERT_TRUE(built.command);
  const Strings& args = built.command->arguments;
  for (const std::string& argument : args) EXPECT_EQ(argument.find("${"), std::string::npos) << argument;
  auto after = [&args](const std::string& option) {
    const auto found = std::find(args.begin(), args.end(), option);
    return found == args.end() || found + 1 == args.end() ? std::string("<missing>") : *(found + 1);
  };
  EXPECT_EQ(after("--launchTarget"), "forgeclient");
  EXPECT_EQ(after("-p").rfind("/k/.minecraft//libraries/cpw/mods/bootstraplauncher/1.1.2/bootstraplauncher-1.1.2.jar:", 0), 0u);
  EXPECT_NE(std::find(args.begin(), args.end(), "cpw.mods.bootstraplauncher.BootstrapLauncher"), args.end());
  // The ignore list names the version's own jar, which the class path ends with.
  EXPECT_NE(std::find(args.begin(), args.end(), "-DignoreList=bootstraplauncher,securejarhandler,asm-commons,asm-util,"
                                                "asm-analysis,asm-tree,asm,JarJarFileSystems,client-extra,fmlcore,"
                                                "javafmllanguage,lowcodelanguage,mclanguage,forge-,1.19.3-forge-44.1.0.jar"),
            args.end());
  EXPECT_TRUE(after("-cp").ends_with("/versions/1.19.3-forge-44.1.0/1.19.3-forge-44.1.0.jar"));
}

TEST(ModernVersions, TheOneLineTextAndTheLogConfiguration) {
  LaunchInputs inputs = test::ProfileInputs(PlatformProfile::Windows());
  inputs.logConfigPath = LogConfigPath(inputs.gamePath, "client-1.12.xml");
  const LaunchCommandResult built = BuildLaunchCommand(Fixture("1.19.3"), inputs, PlatformProfile::Windows(), 64);
  ASSERT_TRUE(built.command);
  const std::string& text = built.command->text;
  EXPECT_EQ(text.rfind("\"C:\\Java\\bin\\javaw.exe -XX:HeapDumpPath=", 0), 0u) << text;
  EXPECT_NE(text.find(" \"-Dos.name=Windows 10\" -Dos.version=10.0 "
                      "-Djava.library.path=C:\\K\\.minecraft\\\\versions\\1.19.3\\natives-windows "),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(" -Dlog4j.configurationFile=C:\\K\\.minecraft\\/assets/log_configs/client-1.12.xml "
                      "net.minecraft.client.main.Main --username Steve"),
            std::string::npos)
      << text;
  EXPECT_TRUE(text.ends_with(" --clientId \"\" --xuid \"\" --userType legacy --versionType release\"")) << text;
  // Without a log configuration in place, no argument for it.
  inputs.logConfigPath.clear();
  EXPECT_EQ(BuildLaunchCommand(Fixture("1.19.3"), inputs, PlatformProfile::Windows(), 64).command->text.find("-Dlog4j.configurationFile"),
            std::string::npos);
}

TEST(ModernVersions, EveryOccurrenceFilledAndNothingTwice) {
  VersionDescription d = Fixture("1.18.2");
  d.libraries.clear();
  d.jvmArguments = std::vector<ArgumentEntry>{{{"-Da=${classpath_separator}${classpath_separator}${launcher_name}"}, {}},
                                              {{"${unknown}", "-Db=${auth_player_name}"}, {}}};
  d.gameArguments = std::vector<ArgumentEntry>{};
  LaunchInputs inputs = test::ProfileInputs(PlatformProfile::Linux());
  inputs.playerName = "${launcher_name}";
  const Strings args = BuildLaunchCommand(d, inputs, PlatformProfile::Linux(), 64).command->arguments;
  EXPECT_EQ(args, (Strings{"/usr/bin/java", "-Da=::Korvane", "${unknown}", "-Db=${launcher_name}", kMain}));
}

}  // namespace
}  // namespace kv
