// Reading the replies of the Microsoft sign-in: what the published replies hold, and what an
// untrusted reply may not slip through.
#include "auth/microsoft_documents.h"

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace kv {
namespace {

TEST(MicrosoftDocuments, ThePublishedRepliesReadAsTheStepsNeedThem) {
  const std::optional<DeviceCode> code = ParseDeviceCode(test::ReadFixture("microsoft/device-code-reply.redacted.json"));
  ASSERT_TRUE(code);
  EXPECT_EQ(code->userCode, "YZMYLD4K");
  EXPECT_EQ(code->deviceCode, "PLACEHOLDER_DEVICE_CODE");
  EXPECT_EQ(code->verificationUri, "https://www.microsoft.com/link");
  EXPECT_EQ(code->verificationUriComplete, "");
  EXPECT_EQ(code->expiresIn, 900);
  EXPECT_EQ(code->interval, 5);

  const std::optional<MicrosoftToken> token = ParseMicrosoftToken(test::ReadFixture("microsoft/token-reply.documented.json"));
  ASSERT_TRUE(token);
  EXPECT_EQ(token->refreshToken, "AwABAAAAvPM1KaPlrEqdFSBzjqfTGAMxZGUTdM0t4B4...");

  EXPECT_TRUE(OwnsTheGame(test::ReadFixture("microsoft/entitlements-mcstore.redacted.json")));
  EXPECT_FALSE(OwnsTheGame(R"({"items":[{"name":"game_minecraft_bedrock"}]})"));
}

TEST(MicrosoftDocuments, OnlyHttpsAddressesAreOfferedToThePlayer) {
  for (const char* address : {"http://www.microsoft.com/link", "javascript:alert(1)", "file:///etc/passwd", ""}) {
    const std::string reply = std::string(R"({"user_code":"A","device_code":"B","verification_uri":")") + address + "\"}";
    EXPECT_FALSE(ParseDeviceCode(reply)) << address;
  }
  const std::optional<DeviceCode> code = ParseDeviceCode(
      R"({"user_code":"A","device_code":"B","verification_uri":"https://x.example/link","verification_uri_complete":"http://x.example/link?otc=A"})");
  ASSERT_TRUE(code);
  EXPECT_EQ(code->verificationUriComplete, "");
  EXPECT_EQ(code->interval, 5);
}

TEST(MicrosoftDocuments, AnXErrIsReadAsANumberOrDigitsAndNothingElse) {
  EXPECT_EQ(ParseXErr(R"({"XErr":2148916233})"), "2148916233");
  EXPECT_EQ(ParseXErr(R"({"XErr":"2148916238"})"), "2148916238");
  EXPECT_EQ(ParseXErr(R"({"XErr":"2148916238; rm -rf"})"), std::nullopt);
  EXPECT_EQ(ParseXErr(R"({"XErr":-1})"), std::nullopt);
  EXPECT_EQ(ParseXErr("<html>"), std::nullopt);
}

TEST(MicrosoftDocuments, ATokenWithAControlCharacterIsNoToken) {
  EXPECT_FALSE(ParseGameToken(R"({"access_token":"abc\ndef","expires_in":86400})"));
  EXPECT_FALSE(ParseXboxToken(R"({"Token":"t","DisplayClaims":{"xui":[{"uhs":"a\u0007"}]}})"));
  EXPECT_FALSE(ParseXboxToken(R"({"Token":"t","DisplayClaims":{"xui":[]}})"));
}

}  // namespace
}  // namespace kv
