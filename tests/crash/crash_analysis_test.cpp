// How the analysis weighs what it finds: several sources, the exit status, the description of
// a crash report without a known cause, the text the player reads, and a table that is not
// as it must be.
#include <gtest/gtest.h>

#include "crash/crash_notice.h"
#include "tests/crash/crash_fixtures.h"

namespace kv {
namespace {

TEST(CrashAnalysis, AcrossSourcesTheMostSpecificCauseIsNamedAndFoundWhereItFirstShows) {
  const CrashAnalysis analysis = test::AnalyzeFixtures(
      {"hmcl/crash-report/out_of_memory.txt", "hmcl/logs/jvm_32bit.txt", "hmcl/logs/jvm_32bit2.txt"});
  ASSERT_EQ(test::CauseIds(analysis), (std::vector<std::string>{"heap-not-reserved", "java-heap-exhausted"}));
  const CrashCause& named = analysis.causes[0];
  EXPECT_EQ(named.source, "hmcl/logs/jvm_32bit.txt");
  // What the later source captured still counts.
  EXPECT_EQ(named.captures.at("kb"), std::vector<std::string>{"3571712"});
  EXPECT_EQ(analysis.causes[1].source, "hmcl/crash-report/out_of_memory.txt");
}

TEST(CrashAnalysis, AGameKilledBySignalNineWasMostLikelyOutOfMemory) {
  const CrashAnalysis killed = test::AnalyzeFixtures({"prism/vanilla-1.21.5.xml.log"}, 137);
  ASSERT_EQ(test::CauseIds(killed), std::vector<std::string>{"killed-by-system"});
  EXPECT_EQ(killed.causes[0].action, CrashAction::InstanceMemorySettings);
  EXPECT_TRUE(killed.causes[0].source.empty());
  EXPECT_NE(killed.causes[0].explanation.find("信号 9"), std::string::npos);

  // What the game said itself says more.
  const CrashAnalysis heap = test::AnalyzeFixtures({"hmcl/crash-report/out_of_memory.txt"}, 137);
  EXPECT_EQ(test::CauseIds(heap), (std::vector<std::string>{"java-heap-exhausted", "killed-by-system"}));

  EXPECT_FALSE(test::AnalyzeFixtures({"prism/vanilla-1.21.5.xml.log"}, 1).Found());
}

TEST(CrashAnalysis, WithoutACauseTheCrashReportsDescriptionIsShown) {
  // The report says it best, wherever the game's output stands.
  const CrashAnalysis analysis =
      test::AnalyzeFixtures({"prism/vanilla-1.21.5.xml.log", "hmcl/crash-report/debug_crash.txt"});
  EXPECT_FALSE(analysis.Found());
  EXPECT_EQ(DescribeCrash(analysis), "崩溃报告中的描述: Manually triggered debug crash");
  EXPECT_EQ(DescribeCrash(test::AnalyzeFixtures({"prism/vanilla-1.21.5.xml.log"})), "");
}

TEST(CrashAnalysis, ThePlayerReadsTheCauseWhereItWasSeenAndTheOtherCauses) {
  EXPECT_EQ(DescribeCrash(test::AnalyzeFixtures({"hmcl/logs/forgemod_resolution.txt"})),
            "可能的原因: 缺少前置 Mod，或前置 Mod 的版本不对\n"
            "需要安装或更新的前置 Mod：Mod werewolves 需要的 vampirism（版本 [1.9.0-beta.1,)）。"
            "请在 Mod 页面中找到并安装它们，或把它们的文件放进此实例的 mods 文件夹。"
            "（见 hmcl/logs/forgemod_resolution.txt）\n"
            "其他可能的原因: Mod 的 Mixin 注入失败");
}

// GLFW reports features a platform lacks (a Wayland window cannot be placed) as errors while the
// game plays on; only a missing OpenGL or one too old stops it.
TEST(CrashAnalysis, AGlfwErrorTheGameSurvivesIsNoCause) {
  const auto analyze = [](const std::string& line) { return test::BuiltInAnalyzer().Analyze({{"latest.log", line}}); };
  EXPECT_FALSE(analyze("[Render thread/ERROR]: GLFW error 65548: Wayland: The platform does not support setting the "
                       "window position\n").Found());
  const CrashAnalysis noOpenGl = analyze("GLFW error 65542: WGL: The driver does not appear to support OpenGL\n");
  ASSERT_EQ(test::CauseIds(noOpenGl), std::vector<std::string>{"graphics-driver"});
  EXPECT_EQ(noOpenGl.causes[0].captures.at("code"), std::vector<std::string>{"65542"});
}

// A log is text from anywhere: whatever it holds, the notice stays readable.
TEST(CrashAnalysis, ALogFullOfOneMessageNamesAFewAndAVeryLongNameIsCut) {
  std::string log;
  for (int i = 0; i < 200; ++i) {
    log += "net.fabricmc.loader.discovery.ModResolutionException: Could not find required mod: m" + std::to_string(i) +
           " requires {fabric @ [>=1]}\n";
  }
  const std::string longName(5000, 'x');
  log += "java.lang.SecurityException: SHA1 digest error for " + longName + "\n";
  const CrashAnalysis analysis = test::BuiltInAnalyzer().Analyze({{"latest.log", log}});
  ASSERT_EQ(test::CauseIds(analysis), (std::vector<std::string>{"mod-dependency-missing", "files-corrupted"}));
  const CrashCause& missing = analysis.causes[0];
  EXPECT_LT(missing.captures.at("mod").size(), 200u);
  EXPECT_NE(missing.explanation.find("Mod m7 需要的 Fabric API（版本 >=1） 等。"), std::string::npos) << missing.explanation;
  EXPECT_EQ(missing.explanation.find("Mod m8 "), std::string::npos);
  const std::string& file = analysis.causes[1].captures.at("file").front();
  EXPECT_LT(file.size(), 300u);
  EXPECT_TRUE(file.ends_with("…"));
}

Result<CrashAnalyzer> AnalyzerOf(const std::string& causes) {
  Result<CrashRuleTable> table = ParseCrashRules(R"j({"causes": [)j" + causes + "]}");
  if (!table) return std::move(table).failure();
  return CrashAnalyzer::Create(std::move(*table));
}

TEST(CrashAnalysis, ATableThatIsNotAsItMustBeIsRefusedSayingWhere) {
  const std::string cause = R"j("id": "a", "title": "t", "specificity": 1, )j";
  EXPECT_TRUE(AnalyzerOf("{" + cause + R"j("patterns": ["x(?P<n>y)"], "explanation": "[{n}]"})j").ok());
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"{" + cause + R"j("patterns": ["x("], "explanation": "e"})j", "a: "},
      {"{" + cause + R"j("patterns": ["x"], "explanation": "{mod}"})j", "the explanation names mod"},
      {"{" + cause + R"j("patterns": ["x"], "explanation": "e", "action": "reboot"})j", "unknown action"},
      {"{" + cause + R"j("explanation": "e"})j", "neither patterns nor an exit status"},
      {"{" + cause + R"j("patterns": ["x"], "explanation": "e", "excludes": ["b"]})j", "excludes an unknown cause b"},
      {"{" + cause + R"j("patterns": ["x"], "explanation": "e"}, {)j" + cause + R"j("patterns": ["y"], "explanation": "e"})j",
       "the id is used twice"},
      {"{" + cause + R"j("patterns": ["x"], "explanation": "e", "derived": [{"name": "j", "from": "v"}]})j",
       "nothing captures v"},
      {"{" + cause + R"j("patterns": ["x"])j", "JSON"},
  };
  for (const auto& [causes, reason] : refused) {
    const Result<CrashAnalyzer> analyzer = AnalyzerOf(causes);
    ASSERT_FALSE(analyzer.ok()) << causes;
    EXPECT_NE(analyzer.message().find(reason), std::string::npos) << analyzer.message();
  }
}

}  // namespace
}  // namespace kv
