// Every cause of the built-in table on real logs: the cause named, what it captured, the
// explanation the player reads and the other causes listed beside it.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/crash/crash_fixtures.h"

namespace kv {
namespace {

using Captures = std::map<std::string, std::vector<std::string>>;

struct RealLog {
  std::string file;
  std::vector<std::string> causes;  // the cause named first, then the others listed
  Captures captures;                // of the cause named; only these names
  std::string explained;            // a part of the explanation
};

const std::vector<RealLog> kRealLogs = {
    {"aternos-codex/Fabric/fabric-1171-dependency.log",
     {"mod-dependency-missing"},
     {{"mod", {"bewitchment"}}, {"needs", {"patchouli"}}},
     "需要安装或更新的前置 Mod：Mod bewitchment 需要的 patchouli。"},
    {"aternos-codex/Fabric/fabric-missing-dependency-versioned.log",
     {"mod-dependency-missing"},
     {{"mod", {"origins"}}, {"needs", {"fabric"}}, {"range", {"1.0.0"}}},
     "Mod origins 需要的 Fabric API（版本 1.0.0）"},
    {"aternos-codex/Fabric/fabric-1-20-1-dependencies-wrong-version.log",
     {"mod-dependency-missing"},
     {{"mod", {"indium"}}, {"needs", {"sodium", "fabric-renderer-api-v1"}}, {"range", {"0.5.3"}}, {"minimum", {"3.2.0"}}},
     "Mod indium 需要的 sodium（版本 0.5.3）、Mod indium 需要的 fabric-renderer-api-v1（3.2.0 或更新的版本）"},
    {"hmcl/logs/fabric-mod-missing.txt",
     {"mod-dependency-missing"},
     {{"mod", {"pca"}}, {"needs", {"fabric"}}, {"range", {">=0.39.2"}}},
     "Mod pca 需要的 Fabric API（版本 >=0.39.2）"},
    {"hmcl/logs/mod_resolution.txt",
     {"mod-dependency-missing"},
     {{"mod", {"test"}}, {"needs", {"fabricloader", "fabric", "java"}}, {"range", {">=0.11.3", ">=16"}}},
     "Mod test 需要的 Fabric Loader（版本 >=0.11.3）、Mod test 需要的 Fabric API、Mod test 需要的 Java（版本 >=16）"},
    {"aternos-codex/Forge/forge-early-crash.log",
     {"mod-dependency-missing"},
     {{"needs", {"dynamicregistries"}}},
     "前置 Mod：dynamicregistries。"},
    {"aternos-codex/Forge/forge-missing-mods-exception.log",
     {"mod-dependency-missing"},
     {{"mod", {"helicopterpack"}}, {"needs", {"mts"}}, {"range", {"[19.0.0,)"}}},
     "Mod helicopterpack 需要的 mts（版本 [19.0.0,)）"},
    // The mixin error follows from the missing mod.
    {"hmcl/logs/forgemod_resolution.txt",
     {"mod-dependency-missing", "mixin-failure"},
     {{"mod", {"werewolves"}}, {"needs", {"vampirism"}}, {"range", {"[1.9.0-beta.1,)"}}},
     "Mod werewolves 需要的 vampirism（版本 [1.9.0-beta.1,)）"},
    {"hmcl/crash-report/mod_resolution0.txt",
     {"mod-dependency-missing", "mod-crashed-loading"},
     {{"mod", {"iceandfire"}}, {"needs", {"citadel"}}, {"minimum", {"1.8.1"}}},
     "Mod iceandfire 需要的 citadel（1.8.1 或更新的版本）"},
    {"aternos-codex/Fabric/fabric-duplicate-mod.log", {"mod-duplicate"}, {{"mod", {"fabric"}}}, "重复的文件：Fabric API。"},
    {"hmcl/logs/forge_found_duplicate_mods.txt",
     {"mod-duplicate"},
     {{"mod", {"jei"}}, {"files", {"REIPluginCompatibilities-forge-12.0.93.jar, jei-1.20.1-forge-15.2.0.27.jar"}}},
     "jei（REIPluginCompatibilities-forge-12.0.93.jar, jei-1.20.1-forge-15.2.0.27.jar）"},
    {"hmcl/logs/duplicated_mod.txt",
     {"mod-duplicate"},
     {{"mod", {"durabilityviewer"}},
      {"files",
       {"A:\\MC启动器\\..\\MC\\versions\\1.12.2\\mods\\DurabilityViewer-1.12-forge14.21.1.2387-1.6.jar, "
        "A:\\MC启动器\\..\\MC\\versions\\1.12.2\\mods\\4659524562224055466@3@38.jar"}}},
     "durabilityviewer（A:\\MC启动器"},
    {"hmcl/logs/fabric-mod-conflict.txt",
     {"mod-conflict"},
     {{"mod", {"phosphor"}}, {"other", {"starlight"}}},
     "phosphor 与 starlight 不能同时安装"},
    // Java 8's class reader trips over the newer classes too; that is not a Java too new.
    {"hmcl/logs/too_old_java.txt", {"java-too-old"}, {{"classVersion", {"60"}}}, "需要 Java 16 或更新的版本"},
    {"hmcl/logs/java_version_is_too_high.txt", {"java-too-new"}, {}, "现在使用的 Java 对这个版本的游戏"},
    {"hmcl/logs/java9.txt", {"java-too-new"}, {}, "请使用 Java 8"},
    {"hmcl/crash-report/need_jdk11.txt", {"java-too-new"}, {}, "请使用 Java 8"},
    // The size is refused because a 32-bit Java cannot hold it.
    {"hmcl/logs/jvm_32bit.txt", {"heap-not-reserved"}, {}, "Java 无法为游戏预留内存。"},
    {"hmcl/logs/jvm_32bit2.txt", {"heap-not-reserved"}, {{"kb", {"3571712"}}}, "Java 无法为游戏预留 3488 MB 内存。"},
    {"hmcl/logs/out_of_memory2.txt", {"heap-size-invalid"}, {}, "Java 不接受现在的内存设置："},
    {"hmcl/crash-report/out_of_memory.txt", {"java-heap-exhausted"}, {}, "分配给游戏的内存用完了"},
    // A fatal error log written in GBK.
    {"hmcl/logs/out_of_memory.txt", {"native-memory-exhausted"}, {}, "Java 无法再从系统获得内存"},
    {"aternos-codex/Fabric/fabric-mixin-error.log",
     {"mixin-failure"},
     {{"mod", {"expandability"}}},
     "Mod expandability 修改游戏代码（Mixin）时失败了。"},
    {"hmcl/crash-report/loading_error_fabric.txt", {"mod-crashed-loading"}, {{"mod", {"test"}}}, "Mod test 在游戏加载时出错"},
    {"hmcl/logs/graphics_driver.txt",
     {"graphics-driver"},
     {{"library", {"ig4dev32.dll"}}},
     "OpenGL 功能（显卡驱动 ig4dev32.dll 崩溃了）。"},
    {"hmcl/crash-report/graphics_driver.txt", {"graphics-driver"}, {}, "游戏无法使用显卡的 OpenGL 功能。"},
    {"hmcl/logs/macos_failed_to_find_service_port_for_display.txt",
     {"graphics-driver"},
     {{"code", {"0x10008"}}},
     "（GLFW 错误 0x10008）"},
    {"hmcl/logs/unsatisfied_link_error.txt",
     {"native-library-missing"},
     {{"library", {"lwjgl.dll"}}},
     "本地库 lwjgl.dll 无法加载"},
    {"hmcl/crash-report/security.txt",
     {"files-corrupted"},
     {{"file", {"assets/minecraft/texts/splashes.txt"}}},
     "assets/minecraft/texts/splashes.txt 的校验没有通过"},
    {"hmcl/logs/incomplete_forge_installation4.txt", {"forge-incomplete"}, {{"target", {"fmlclient"}}}, "找不到启动目标 fmlclient"},
    // The jar's name left nothing to name a module by: the text does without it.
    {"hmcl/logs/mod_name.txt", {"mod-file-name"}, {}, "无法用作 Java 模块名。请给它改名"},
};

TEST(CrashCauses, EachCauseIsFoundInItsRealLogsWithWhatItNames) {
  for (const RealLog& log : kRealLogs) {
    SCOPED_TRACE(log.file);
    const CrashAnalysis analysis = test::AnalyzeFixtures({log.file});
    ASSERT_EQ(test::CauseIds(analysis), log.causes);
    const CrashCause& cause = analysis.causes.front();
    EXPECT_EQ(cause.captures, log.captures);
    EXPECT_NE(cause.explanation.find(log.explained), std::string::npos) << cause.explanation;
    EXPECT_EQ(cause.source, log.file);
    EXPECT_TRUE(analysis.description.empty());
  }
}

// A cause added to the table comes with a real log that shows it.
TEST(CrashCauses, EveryCauseOfTheTableHasARealLog) {
  std::set<std::string> shown;
  for (const RealLog& log : kRealLogs) shown.insert(log.causes.begin(), log.causes.end());
  // Shown by the installed JVM (jvm_complaints_test.cpp) and by the exit status
  // (crash_analysis_test.cpp).
  shown.insert({"jvm-option-unrecognized", "killed-by-system"});
  for (const CrashRule& rule : test::BuiltInAnalyzer().Table().rules) EXPECT_TRUE(shown.count(rule.id)) << rule.id;
}

TEST(CrashCauses, AHealthyLogAndAnUnrelatedCrashClaimNothing) {
  const CrashAnalysis healthy = test::AnalyzeFixtures({"prism/vanilla-1.21.5.xml.log"});
  EXPECT_FALSE(healthy.Found());
  EXPECT_TRUE(healthy.description.empty());

  // A crash the player asked for (F3 + C): only the report's own description is shown.
  const CrashAnalysis unrelated = test::AnalyzeFixtures({"hmcl/crash-report/debug_crash.txt"});
  EXPECT_FALSE(unrelated.Found());
  EXPECT_EQ(unrelated.description, "Manually triggered debug crash");
}

}  // namespace
}  // namespace kv
