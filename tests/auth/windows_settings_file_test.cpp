#include <gtest/gtest.h>
#include <json/json.h>

#include "auth/stored_credentials.h"
#include "platform/profile_store.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

// The whole settings file as the Windows build writes it: the settings, the instance registry
// and the stored account tokens.
namespace kv {
namespace {

class NoJava : public JavaRuntimeSource {
 public:
  std::vector<JavaRuntime> Runtimes() const override { return {}; }
};

const NoJava kNoJava;

// The settings file as the Windows build writes it must read back exactly the values it was
// made from, and a file written here must read back the same.
class WindowsSettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string json = test::ReadFixture("kvcfg-windows.json");
    ASSERT_TRUE(Json::Reader().parse(json, expected_));
    test::WriteFile(file_, test::ReadFixture("KvCfg-windows-gbk.ini"));
  }

  void ExpectFixtureValues(const std::string& file) {
    CSettings settings(file);
    settings.Load(kNoJava);
    EXPECT_EQ(settings.userName, expected_["user"].asString());
    EXPECT_EQ(settings.password, expected_["pwd"].asString());
    EXPECT_EQ(profile::FlagText(settings.isGenuine), expected_["genuine"].asString());
    EXPECT_EQ(settings.game.javaPath, expected_["java"].asString());
    EXPECT_EQ(settings.gamePath, expected_["game"].asString());
    EXPECT_EQ(GameSettingTextOf(settings.game, "JVMMemoryMin"), expected_["min"].asString());
    EXPECT_EQ(GameSettingTextOf(settings.game, "JVMMemoryMax"), expected_["max"].asString());
    EXPECT_EQ(settings.game.launchParameters, expected_["params"].asString());
    EXPECT_EQ(settings.game.javaVer, expected_["jver"].asString());
    EXPECT_EQ(GameSettingTextOf(settings.game, "IsAutoMallocMemory"), expected_["auto"].asString());
    EXPECT_EQ(profile::FlagText(settings.isShowCmd), expected_["show"].asString());

    CInstanceList list(file, false);
    ASSERT_EQ(list.Entries().size(), expected_["inst"].size());
    for (Json::ArrayIndex i = 0; i < expected_["inst"].size(); ++i) {
      EXPECT_EQ(list.Entries()[i].name, expected_["inst"][i][0].asString());
      EXPECT_EQ(list.Entries()[i].version, expected_["inst"][i][1].asString());
    }

    StoredCredentials credentials;
    InitStoredCredentials(credentials, file);
    LoadStoredCredentials(credentials);
    EXPECT_EQ(credentials.accessToken, expected_["tok"].asString());
    EXPECT_EQ(credentials.clientToken, expected_["ctok"].asString());
    EXPECT_EQ(credentials.profileId, expected_["pid"].asString());
    EXPECT_EQ(credentials.profileName, expected_["pname"].asString());
    EXPECT_EQ(UserTypeOf(credentials), expected_["legacy"].asString());
  }

  test::TempFolder dir_;
  std::string file_ = dir_ / "KvCfg.ini";
  Json::Value expected_;
};

TEST_F(WindowsSettingsFile, ReadsBackExactly) { ExpectFixtureValues(file_); }

TEST_F(WindowsSettingsFile, RewritingKeepsTheBytes) {
  std::string before = test::ReadFile(file_);
  CSettings settings(file_);
  settings.Load(kNoJava);
  ASSERT_TRUE(settings.Save());
  {
    CInstanceList list(file_, false);
    list.Save();
  }
  StoredCredentials credentials;
  InitStoredCredentials(credentials, file_);
  LoadStoredCredentials(credentials);
  ASSERT_TRUE(SaveStoredCredentials(credentials));
  EXPECT_EQ(test::ReadFile(file_), before);
}

TEST_F(WindowsSettingsFile, WrittenHereReadsBackTheSame) {
  std::string fresh = dir_ / "fresh/KvCfg.ini";
  test::WriteFile(fresh, "");
  CSettings settings(file_);
  settings.Load(kNoJava);
  CSettings copy(fresh);
  copy.userName = settings.userName;
  copy.password = settings.password;
  copy.isGenuine = settings.isGenuine;
  copy.game = settings.game;
  copy.gamePath = settings.gamePath;
  copy.isShowCmd = settings.isShowCmd;
  ASSERT_TRUE(copy.Save());
  {
    CInstanceList from(file_, false);
    CInstanceList to(fresh, true);
    for (const InstanceEntry& entry : from.Entries()) to.Add(entry);
  }
  StoredCredentials credentials;
  InitStoredCredentials(credentials, file_);
  LoadStoredCredentials(credentials);
  credentials.settingsPath = fresh;
  ASSERT_TRUE(SaveStoredCredentials(credentials));
  ExpectFixtureValues(fresh);
}

}  // namespace
}  // namespace kv
