#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "auth/stored_credentials.h"
#include "game/game_layout.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "tests/support/fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/messages.h"

// korvane-cli command: the command that would start an instance.
namespace kv {
namespace {

using Lines = std::vector<std::string>;

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

class CommandCli : public ::testing::Test {
 protected:
  void SetUp() override {
    CSettings settings(Settings());
    settings.Load();
    settings.userName = "史蒂夫";
    settings.javaPath = "/opt/java 8/bin/java";
    settings.isAutoMallocMemory = "false";
    settings.jvmMemoryMin = "256";
    settings.jvmMemoryMax = "1024";
    settings.launchParameters = "-XX:+UseG1GC -Dlabel=\"a b\"";
    ASSERT_TRUE(settings.Save());
    gamePath_ = settings.gamePath;
    Register("生存", "1.7.10");
  }

  std::string Settings() const { return home_ / "KvCfg.ini"; }

  void Register(const std::string& name, const std::string& version) {
    CInstanceList list(Settings(), true);
    list.Add({name, version});
  }

  void InstallDescription(const std::string& version, const std::string& bytes) {
    test::WriteFile(VersionJsonPath(gamePath_, version), bytes);
  }

  test::CommandResult Run(const Lines& args) {
    return test::RunCommand(KORVANE_CLI, args, {"KORVANE_HOME=" + home_.Path(), "JAVA_HOME=", "PATH=/nonexistent"});
  }

  test::TempFolder home_;
  std::string gamePath_;
};

TEST_F(CommandCli, PrintsOneArgumentALineForAnOfflinePlayer) {
  InstallDescription("1.7.10", test::ReadFixture("versions/version-1.7.10.json"));
  const test::CommandResult result = Run({"command", "生存"});
  ASSERT_EQ(result.status, 0) << result.err;
  const Lines lines = SplitLines(result.out);
  ASSERT_GE(lines.size(), 10u);
  // The settings' game folder ends in a separator; no path joined onto it doubles one.
  ASSERT_TRUE(gamePath_.ends_with("/"));
  const std::string game = gamePath_.substr(0, gamePath_.size() - 1);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
            (Lines{"/opt/java 8/bin/java", "-Xms256M", "-Xmx1024M", "-XX:+UseG1GC", "-Dlabel=a b"}));
  EXPECT_EQ(lines[5], "-Djava.library.path=" + game + "/libraries/org/lwjgl/lwjgl/lwjgl-platform/2.9.1/:" + game +
                          "/libraries/net/java/jinput/jinput-platform/2.0.5/");
  EXPECT_EQ(lines[6], "-cp");
  EXPECT_TRUE(lines[7].ends_with(":" + game + "/versions/1.7.10/1.7.10.jar")) << lines[7];
  EXPECT_EQ(lines[8], "net.minecraft.client.main.Main");
  EXPECT_EQ(Lines(lines.begin() + 9, lines.begin() + 13), (Lines{"--username", "史蒂夫", "--version", "1.7.10"}));
  EXPECT_EQ(lines[14], game + "/../Instance/生存");
  for (const std::string& line : lines) EXPECT_EQ(line.find("//"), std::string::npos) << line;
  EXPECT_EQ(lines.back(), "legacy");
  // The player's Java, whose version cannot be read here, is taken at its word.
  EXPECT_TRUE(result.err.starts_with("Java: /opt/java 8/bin/java（" + msg::JavaConfiguredOfUnknownVersion(8) + "）\n"))
      << result.err;
}

TEST_F(CommandCli, MissingFilesAskForPrepareFirst) {
  // Without its description, the file is named as it stands on the disk.
  Register("空", "8.8");
  const test::CommandResult none = Run({"command", "空"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "korvane-cli: 找不到版本描述文件: " + gamePath_ + "versions/8.8/8.8.json（请先运行 korvane-cli prepare 空）\n");

  InstallDescription("7.7", R"({"id":"7.7","mainClass":"demo.Main","libraries":[{"name":"com.example:plain:1.0"}]})");
  test::WriteFile(gamePath_ + "libraries/com/example/plain/1.0/plain-1.0.jar", "jar");
  Register("小", "7.7");
  // The client jar is missing: the command is still shown, with what to do first.
  const test::CommandResult missing = Run({"command", "小"});
  EXPECT_EQ(missing.status, 0) << missing.err;
  EXPECT_TRUE(missing.out.ends_with("\ndemo.Main\n")) << missing.out;
  EXPECT_NE(missing.err.find("\nkorvane-cli: 版本 7.7 还缺少 1 个文件，请先运行 korvane-cli prepare 小\n"), std::string::npos)
      << missing.err;
  test::WriteFile(VersionJarPath(gamePath_, "7.7"), "jar");
  const test::CommandResult complete = Run({"command", "小"});
  EXPECT_EQ(complete.status, 0);
  EXPECT_EQ(complete.err.find("prepare"), std::string::npos) << complete.err;
}

TEST_F(CommandCli, LaunchRefusalsCarryTheProgramName) {
  const test::CommandResult result = Run({"launch", "生存", "--dry-run"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(result.err.starts_with(std::string("korvane-cli: ") + msg::kVersionUnreadable + "\n")) << result.err;
}

TEST_F(CommandCli, AModernVersionWithTheJavaItNeeds) {
  // A runtime of the major version the description asks for, chosen in the settings.
  const std::string java = home_ / "jdk-17/bin/java";
  test::WriteFile(java, "#!/bin/sh\n");
  ::chmod(java.c_str(), 0755);
  test::WriteFile(home_ / "jdk-17/release", "JAVA_VERSION=\"17.0.15\"\n");
  CSettings settings(Settings());
  settings.Load();
  settings.javaPath = java;
  ASSERT_TRUE(settings.Save());
  InstallDescription("1.18.2", test::ReadFixture("versions/modern/1.18.2.json"));
  InstallDescription("1.18.2-forge-40.2.9", test::ReadFixture("versions/modern/1.18.2-forge-40.2.9.json"));
  Register("锻造", "1.18.2-forge-40.2.9");
  const test::CommandResult result = Run({"command", "锻造"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.err.starts_with("Java: " + java + "（" + msg::JavaConfiguredFits(17, 17) + "）\n")) << result.err;
  const Lines lines = SplitLines(result.out);
  EXPECT_EQ(lines.front(), java);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "cpw.mods.bootstraplauncher.BootstrapLauncher"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "forgeclient"), lines.end());
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("${"), std::string::npos) << line;
    EXPECT_EQ(line.find("//"), std::string::npos) << line;
  }

  // A version that needs a Java no machine has: refused with what it needs.
  InstallDescription("1.18.2-forge-40.2.9", R"({"id":"1.18.2-forge-40.2.9","inheritsFrom":"1.18.2","javaVersion":{"majorVersion":99}})");
  const test::CommandResult refused = Run({"command", "锻造"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find(msg::JavaMissing(99, true)), std::string::npos) << refused.err;
  // The window's question about the download has no place in a terminal.
  EXPECT_EQ(refused.err.find(msg::kDownloadJavaQuestion), std::string::npos) << refused.err;
}

TEST_F(CommandCli, TextIsOneLine) {
  InstallDescription("1.7.10", test::ReadFixture("versions/version-1.7.10.json"));
  const test::CommandResult result = Run({"command", "--text", "生存"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(SplitLines(result.out).size(), 1u);
  EXPECT_EQ(result.out.rfind("\"/opt/java 8/bin/java\" -Xms256M -Xmx1024M -XX:+UseG1GC \"-Dlabel=a b\" -Djava.library.path=", 0), 0u)
      << result.out;
  // No list ends with a separator: an empty entry would add the working folder to it.
  EXPECT_NE(result.out.find("/jinput-platform/2.0.5/ -cp "), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find(": "), std::string::npos) << result.out;
}

TEST_F(CommandCli, AGenuineAccountUsesTheStoredCredentials) {
  InstallDescription("1.7.10", test::ReadFixture("versions/version-1.7.10.json"));
  CSettings settings(Settings());
  settings.Load();
  settings.isGenuine = "true";
  ASSERT_TRUE(settings.Save());
  StoredCredentials credentials;
  InitStoredCredentials(credentials, Settings());
  credentials.accessToken = "token-1";
  credentials.profileId = "uuid-1";
  credentials.profileName = "Notch";
  ASSERT_TRUE(SaveStoredCredentials(credentials));
  const test::CommandResult result = Run({"command", "生存"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string out = result.out;
  EXPECT_NE(out.find("--username\nNotch\n"), std::string::npos) << out;
  EXPECT_NE(out.find("--uuid\nuuid-1\n--accessToken\ntoken-1\n"), std::string::npos) << out;
  EXPECT_TRUE(out.ends_with("--userType\nmojang\n")) << out;
}

TEST_F(CommandCli, RefusalsAreOneLineAndNonZero) {
  auto expectRefusal = [this](const Lines& args) {
    const test::CommandResult result = Run(args);
    EXPECT_NE(result.status, 0) << args.back();
    EXPECT_EQ(result.out, "") << args.back();
    EXPECT_EQ(SplitLines(result.err).size(), 1u) << result.err;
  };
  expectRefusal({"command", "生存"});  // no description yet
  InstallDescription("1.7.10", "");
  expectRefusal({"command", "生存"});  // an empty file
  InstallDescription("1.7.10", R"({"id": "1.7.10", "libraries": [)");
  expectRefusal({"command", "生存"});  // a broken download
  expectRefusal({"command", "nobody"});
  Register("逃逸", "../../outside");
  test::WriteFile(home_ / "outside/outside.json", R"({"id": "x"})");
  expectRefusal({"command", "逃逸"});
  InstallDescription("1.7.10", R"({"id": "1.7.10", "libraries": [{"name": "a:b:../../../../x"}]})");
  expectRefusal({"command", "生存"});
  EXPECT_EQ(Run({"command"}).status, 2);
  EXPECT_EQ(Run({"command", "生存", "--json"}).status, 2);
}

}  // namespace
}  // namespace kv
