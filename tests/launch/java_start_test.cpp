#include <gtest/gtest.h>

#include "game/library_paths.h"
#include "launch/launch_command.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

// The argument vector of the host profile started with the real java: a tiny "game" whose
// main class lives in the version jar and calls a class from a library jar.
namespace kv {
namespace {

constexpr const char* kGameSource = R"(package kvtest;
public class Main {
  public static void main(String[] args) {
    for (String arg : args) System.out.println("arg=" + arg);
    System.out.println("label=" + System.getProperty("kv.label"));
    System.out.println("natives=" + System.getProperty("java.library.path"));
    System.out.println("heapMiB=" + Runtime.getRuntime().maxMemory() / (1024 * 1024));
    System.out.println("helper=" + Helper.greeting());
  }
}
)";

constexpr const char* kHelperSource = R"(package kvtest;
public class Helper {
  public static String greeting() { return "from the library"; }
}
)";

bool HasJdk() { return PathExists("/usr/bin/javac") && PathExists("/usr/bin/jar") && PathExists("/usr/bin/java"); }

void RunTool(const std::string& program, const std::vector<std::string>& args) {
  const test::CommandResult result = test::RunCommand(program, args);
  ASSERT_EQ(result.status, 0) << program << "\n" << result.out << result.err;
}

TEST(JavaStart, TheHostArgumentVectorStartsTheGame) {
  if (!HasJdk()) GTEST_SKIP() << "no JDK in /usr/bin";
  test::TempFolder root;
  const std::string game = root / ".minecraft/";

  VersionDescription d;
  d.id = "kv-test";
  d.mainClass = "kvtest.Main";
  d.minecraftArguments = "--username ${auth_player_name} --gameDir ${game_directory} --token ${auth_access_token}";
  LibraryEntry helper;
  helper.name = "kv.test:helper:1";
  LibraryEntry natives;
  natives.name = "kv.test:natives:1";
  natives.nativesLinux = "natives-linux";
  d.libraries = {helper, natives};

  // Compile the two classes into the library jar and the version jar.
  test::WriteFile(root / "src/kvtest/Main.java", kGameSource);
  test::WriteFile(root / "src/kvtest/Helper.java", kHelperSource);
  ASSERT_NO_FATAL_FAILURE(RunTool("/usr/bin/javac", {"-d", root / "classes", root / "src/kvtest/Main.java",
                                                 root / "src/kvtest/Helper.java"}));
  const std::string helperJar = LibraryLocalPath(game, helper, PlatformProfile::Linux(), 64);
  const std::string versionJar = game + "/versions/kv-test/kv-test.jar";
  MakeFoldersForPath(helperJar);
  MakeFoldersForPath(versionJar);
  ASSERT_NO_FATAL_FAILURE(RunTool("/usr/bin/jar", {"cf", helperJar, "-C", root / "classes", "kvtest/Helper.class"}));
  ASSERT_NO_FATAL_FAILURE(RunTool("/usr/bin/jar", {"cf", versionJar, "-C", root / "classes", "kvtest/Main.class"}));

  LaunchInputs inputs;
  inputs.javaPath = "/usr/bin/java";
  inputs.playerName = "Big Steve";
  inputs.gamePath = game;
  inputs.instanceName = "生存";
  inputs.userType = "legacy";
  inputs.autoMemory = false;
  inputs.memoryMin = 16;
  inputs.memoryMax = 64;
  inputs.launchParameters = "-Dkv.label=\"a b; echo no shell\" -Xss2M";
  const LaunchCommandResult built = BuildLaunchCommand(d, inputs, PlatformProfile::Linux(), 64);
  ASSERT_TRUE(built.command) << built.refused;
  const LaunchCommand& command = *built.command;

  const test::CommandResult result = test::RunCommand(
      command.arguments.front(), std::vector<std::string>(command.arguments.begin() + 1, command.arguments.end()));
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  const std::size_t heap = result.out.find("heapMiB=");
  ASSERT_NE(heap, std::string::npos) << result.out;
  EXPECT_EQ(result.out.substr(0, heap),
            "arg=--username\narg=Big Steve\narg=--gameDir\narg=" + game + "/../Instance/生存\n"
            "arg=--token\narg={}\nlabel=a b; echo no shell\nnatives=" + game + "/libraries/kv/test/natives/1/\n");
  EXPECT_LE(std::stoi(result.out.substr(heap + 8)), 64);  // the -Xmx option took effect
  EXPECT_TRUE(result.out.ends_with("\nhelper=from the library\n")) << result.out;
}

}  // namespace
}  // namespace kv
