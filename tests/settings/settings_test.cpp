#include "settings/settings.h"

#include <gtest/gtest.h>

#include "settings/instance_list.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

class FixedJava : public JavaRuntimeSource {
 public:
  explicit FixedJava(std::vector<JavaRuntime> runtimes) : runtimes_(std::move(runtimes)) {}
  std::vector<JavaRuntime> Runtimes() const override { return runtimes_; }

 private:
  std::vector<JavaRuntime> runtimes_;
};

const FixedJava kNoJava(std::vector<JavaRuntime>{});

TEST(Settings, DefaultsWithoutAFile) {
  test::TempFolder dir;
  CSettings settings(dir / "KvCfg.ini");
  FixedJava java(std::vector<JavaRuntime>{{"C:\\\\Java\\\\bin\\\\javaws.exe", "1.8.0_51"}});
  settings.Load(java);
  EXPECT_EQ(settings.userName, "Player");
  EXPECT_EQ(settings.password, "");
  EXPECT_EQ(settings.isGenuine, "false");
  EXPECT_EQ(settings.gamePath, dir / ".minecraft/");
  EXPECT_EQ(settings.jvmMemoryMin, "512");
  EXPECT_EQ(settings.jvmMemoryMax, "1024");
  EXPECT_EQ(settings.launchParameters, "");
  EXPECT_EQ(settings.isAutoMallocMemory, "true");
  EXPECT_EQ(settings.isShowCmd, "false");
  EXPECT_EQ(settings.authServer, "");
  EXPECT_EQ(settings.javaPath, "C:\\Java\\bin\\java.exe");
  EXPECT_EQ(settings.javaVer, "1.8.0_51");
  // Discovery happens in memory only.
  EXPECT_FALSE(test::ReadFile(dir / "KvCfg.ini").size());
}

TEST(Settings, KeepingTheLogWindowIsInTheFileOnlyWhileItIsOn) {
  test::TempFolder dir;
  const std::string file = dir / "KvCfg.ini";
  CSettings settings(file);
  settings.Load(kNoJava);
  EXPECT_EQ(settings.isKeepLog, "false");
  ASSERT_TRUE(settings.Save());
  EXPECT_EQ(test::ReadFile(file).find("IsKeepLog"), std::string::npos);
  settings.isKeepLog = "true";
  ASSERT_TRUE(settings.Save());
  CSettings loaded(file);
  loaded.Load(kNoJava);
  EXPECT_EQ(loaded.isKeepLog, "true");
  loaded.isKeepLog = "false";
  ASSERT_TRUE(loaded.Save());
  EXPECT_EQ(test::ReadFile(file).find("IsKeepLog"), std::string::npos);
}

TEST(Settings, DownloadThreadsAreAWholeNumberOrNothing) {
  test::TempFolder dir;
  const std::string file = dir / "KvCfg.ini";
  EXPECT_EQ(ReadDownloadThreads(file), std::nullopt);
  for (auto [text, expected] : std::vector<std::pair<std::string, std::optional<int>>>{
           {"32", 32}, {" 8 ", 8}, {"100", 100}, {"0", 0}, {"-3", -3}, {"", std::nullopt}, {"many", std::nullopt},
           {"16x", std::nullopt}, {"99999999999", std::nullopt}}) {
    test::WriteFile(file, "[KvCfg]\nDownloadThreads=" + text + "\n");
    EXPECT_EQ(ReadDownloadThreads(file), expected) << text;
  }
}

TEST(Settings, PresentButEmptyKeys) {
  test::TempFolder dir;
  test::WriteFile(dir / "KvCfg.ini",
                  "[KvCfg]\nUserName=\nJVMMemoryMin=\nGamePath=\nJavaPath=\nJavaVer=1.7\n");
  CSettings settings(dir / "KvCfg.ini");
  settings.Load(FixedJava(std::vector<JavaRuntime>{{"/usr/lib/jvm/x/bin/java", "17"}}));
  EXPECT_EQ(settings.userName, "Player");
  EXPECT_EQ(settings.jvmMemoryMin, "");
  EXPECT_EQ(settings.gamePath, dir / ".minecraft/");
  // The discovered version is appended to the stored one.
  EXPECT_EQ(settings.javaVer, "1.717");
}

TEST(Settings, NoJavaFoundLeavesThePathEmpty) {
  test::TempFolder dir;
  CSettings settings(dir / "KvCfg.ini");
  settings.Load(kNoJava);
  EXPECT_EQ(settings.javaPath, "");
  EXPECT_EQ(settings.javaVer, "");
}

TEST(Settings, ChineseNamesAndPasswordsSurviveSaveAndLoad) {
  test::TempFolder dir;
  CSettings settings(dir / "KvCfg.ini");
  settings.Load(kNoJava);
  for (const char* text : {"玩家一号", "p@ss=word 密码+/", "", "=", "《游戏》"}) {
    settings.userName = text;
    settings.password = text;
    settings.authServer = std::string("https://skin.example/api/") + text;
    ASSERT_TRUE(settings.Save());
    CSettings loaded(dir / "KvCfg.ini");
    loaded.Load(kNoJava);
    EXPECT_EQ(loaded.userName, *text ? text : "Player");
    EXPECT_EQ(loaded.password, text);
    EXPECT_EQ(loaded.authServer, settings.authServer);
  }
}

}  // namespace
}  // namespace kv
