#include "auth/stored_credentials.h"

#include <gtest/gtest.h>

#include "platform/profile_store.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

TEST(StoredCredentials, SaveThenLoad) {
  test::TempFolder dir;
  StoredCredentials saved;
  InitStoredCredentials(saved, dir / "KvCfg.ini");
  saved.accessToken = "0123456789abcdef";
  saved.clientToken = "client";
  saved.profileId = "4566e69fc90748ee8d71d7ba5aa00d20";
  saved.profileName = "史蒂夫";
  saved.legacy = 1;
  saved.tokenServer = "https://skin.example/api/yggdrasil/authserver/";
  saved.serverName = "示例皮肤站";
  ASSERT_TRUE(SaveStoredCredentials(saved));
  EXPECT_EQ(profile::GetString(saved.settingsPath, "AuthCfg", "SelectedProfileLegacy", ""), "legacy");

  StoredCredentials loaded;
  InitStoredCredentials(loaded, dir / "KvCfg.ini");
  LoadStoredCredentials(loaded);
  EXPECT_EQ(loaded.accessToken, saved.accessToken);
  EXPECT_EQ(loaded.clientToken, saved.clientToken);
  EXPECT_EQ(loaded.profileId, saved.profileId);
  EXPECT_EQ(loaded.profileName, saved.profileName);
  EXPECT_EQ(loaded.tokenServer, saved.tokenServer);
  EXPECT_EQ(loaded.serverName, saved.serverName);
  EXPECT_EQ(UserTypeOf(loaded), "legacy");
}

TEST(StoredCredentials, LegacyFlagIsExactlyTheWordLegacy) {
  test::TempFolder dir;
  std::string file = dir / "KvCfg.ini";
  StoredCredentials c;
  for (const char* stored : {"mojang", "Legacy", ""}) {
    profile::WriteString(file, "AuthCfg", "SelectedProfileLegacy", stored);
    InitStoredCredentials(c, file);
    LoadStoredCredentials(c);
    EXPECT_EQ(UserTypeOf(c), "mojang") << stored;
  }
  profile::WriteString(file, "AuthCfg", "SelectedProfileLegacy", "legacy");
  LoadStoredCredentials(c);
  EXPECT_EQ(UserTypeOf(c), "legacy");
}

TEST(StoredCredentials, MissingSectionAndEmptyToken) {
  test::TempFolder dir;
  StoredCredentials c;
  InitStoredCredentials(c, dir / "KvCfg.ini");
  LoadStoredCredentials(c);
  EXPECT_EQ(c.accessToken, "");
  EXPECT_EQ(c.legacy, 0);
  ASSERT_TRUE(SaveStoredCredentials(c));
  EXPECT_EQ(profile::GetString(c.settingsPath, "AuthCfg", "AccessToken", "<none>"), "");
  LoadStoredCredentials(c);
  EXPECT_EQ(c.accessToken, "");
}

TEST(StoredCredentials, ATokenOfAnyLengthComesBackWhole) {
  test::TempFolder dir;
  StoredCredentials c;
  InitStoredCredentials(c, dir / "KvCfg.ini");
  // A modern service's token: about 2,000 characters once encoded.
  std::string token;
  for (int i = 0; i < 1500; ++i) token += static_cast<char>('A' + i % 26);
  c.accessToken = token;
  ASSERT_TRUE(SaveStoredCredentials(c));
  LoadStoredCredentials(c);
  EXPECT_EQ(c.accessToken, token);
}

}  // namespace
}  // namespace kv
