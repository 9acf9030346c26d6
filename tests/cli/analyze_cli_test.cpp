// korvane-cli analyze on logs a player brings, and the analysis that korvane-cli launch
// prints after a crash.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "settings/instance_list.h"
#include "settings/settings.h"
#include "tests/support/fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/text.h"

namespace kv {
namespace {

class AnalyzeCli : public ::testing::Test {
 protected:
  test::CommandResult Run(const std::vector<std::string>& args) {
    return test::RunCommand(KORVANE_CLI, args,
                            {"KORVANE_HOME=" + home_.Path(), "JAVA_HOME=", "PATH=/usr/bin:/bin", "KORVANE_SOURCE=mirror",
                             "KORVANE_MIRROR=http://127.0.0.1:9", "KORVANE_STATS_URL="});
  }
  std::string Log(const std::string& name) { return test::FixturePath("crash-logs/" + name); }

  test::TempFolder home_;
};

TEST_F(AnalyzeCli, ALogFromAChineseWindowsInGbkWithCrLf) {
  std::string text = test::ReadFixture("crash-logs/hmcl/logs/duplicated_mod.txt").substr(3);
  std::string crlf;
  for (const char c : ToNarrow(text, kCodePageGbk)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  test::WriteFile(home_ / "latest.log", crlf);
  const test::CommandResult result = Run({"analyze", home_ / "latest.log"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.out.starts_with("可能的原因: 同一个 Mod 装了不止一份\n这些 Mod 有重复的文件：durabilityviewer（A:\\MC启动器"))
      << result.out;
}

TEST_F(AnalyzeCli, Log4jXmlLogs) {
  const std::string healthy = test::ReadFixture("crash-logs/prism/vanilla-1.21.5.xml.log");
  test::WriteFile(home_ / "healthy.xml.log", healthy);
  const test::CommandResult nothing = Run({"analyze", home_ / "healthy.xml.log"});
  EXPECT_EQ(nothing.status, 1);
  EXPECT_EQ(nothing.out, "没有找到已知的崩溃原因\n");

  // The same game, ending as a Fabric game whose mod misses its dependency ends: the exception
  // in the event, as the XML layout writes it.
  const std::string fabric = test::ReadFixture("crash-logs/hmcl/logs/fabric-mod-missing.txt");
  const std::string thrown = fabric.substr(fabric.find("net.fabricmc.loader.discovery.ModResolutionException"));
  test::WriteFile(home_ / "crashed.xml.log",
                  healthy + "  <log4j:Event logger=\"FabricLoader\" timestamp=\"1745005153000\" level=\"FATAL\" thread=\"main\">\n"
                            "    <log4j:Message><![CDATA[A critical error occurred]]></log4j:Message>\n"
                            "    <log4j:Throwable><![CDATA[" +
                      thrown +
                      "]]></log4j:Throwable>\n  </log4j:Event>\n");
  const test::CommandResult crashed = Run({"analyze", home_ / "crashed.xml.log"});
  EXPECT_EQ(crashed.status, 0) << crashed.err;
  EXPECT_NE(crashed.out.find("Mod pca 需要的 Fabric API（版本 >=0.39.2）"), std::string::npos) << crashed.out;
}

TEST_F(AnalyzeCli, SeveralFilesAndWhatCannotBeRead) {
  const test::CommandResult report =
      Run({"analyze", Log("prism/vanilla-1.21.5.xml.log"), Log("hmcl/crash-report/debug_crash.txt")});
  EXPECT_EQ(report.status, 1);
  EXPECT_EQ(report.out, "崩溃报告中的描述: Manually triggered debug crash\n");

  const test::CommandResult missing = Run({"analyze", Log("hmcl/logs/jvm_32bit.txt"), home_ / "gone.log"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "korvane-cli: 无法读取文件: " + home_ / "gone.log" + "\n");
  EXPECT_EQ(Run({"analyze"}).status, 2);

  // What a log captured reaches the terminal without its control characters.
  test::WriteFile(home_ / "escape.log", "[Client thread/FATAL]: Found a duplicate mod x at [\x1b[2Jevil.jar]\n");
  const test::CommandResult escaped = Run({"analyze", home_ / "escape.log"});
  EXPECT_EQ(escaped.status, 0);
  EXPECT_EQ(escaped.out.find('\x1b'), std::string::npos);
  EXPECT_NE(escaped.out.find("x（?[2Jevil.jar）"), std::string::npos) << escaped.out;
}

TEST_F(AnalyzeCli, LaunchPrintsWhyTheGameCrashed) {
  CSettings settings(home_ / "KvCfg.ini");
  settings.Load();
  settings.javaPath = home_ / "java";
  ASSERT_TRUE(settings.Save());
  CInstanceList(home_ / "KvCfg.ini", true).Add({"生存", "v1"});
  test::WriteFile(settings.gamePath + "versions/v1/v1.json", R"({"id":"v1","mainClass":"Main","libraries":[]})");
  test::WriteFile(settings.gamePath + "versions/v1/v1.jar", "x");
  test::WriteFile(home_ / "java", "#!/bin/sh\ncat '" + Log("hmcl/logs/fabric-mod-missing.txt") + "'\nexit 1\n");
  ::chmod((home_ / "java").c_str(), 0755);

  const test::CommandResult result = Run({"launch", "生存"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("Could not find required mod: pca requires"), std::string::npos) << result.out;
  EXPECT_NE(result.err.find("korvane-cli: 游戏异常退出，退出代码: 1\n可能的原因: 缺少前置 Mod，或前置 Mod 的版本不对\n"
                            "需要安装或更新的前置 Mod：Mod pca 需要的 Fabric API（版本 >=0.39.2）。"),
            std::string::npos)
      << result.err;
}

}  // namespace
}  // namespace kv
