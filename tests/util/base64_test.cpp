#include "util/base64.h"

#include <gtest/gtest.h>

#include "util/text.h"

namespace kv {
namespace {

TEST(SettingsBase64, KnownValues) {
  EXPECT_EQ(Base64Encode("abc"), "YWJj");
  EXPECT_EQ(Base64Decode("YWJj"), "abc");
  EXPECT_EQ(Base64Encode("a"), "YQ");
  EXPECT_EQ(Base64Decode("YQ"), "a");
  EXPECT_EQ(Base64Encode("\xFF"), "=w");
  EXPECT_EQ(Base64Encode("\xFB\xFF"), "+=9");
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Decode(""), "");
}

TEST(SettingsBase64, DigitsAreShiftedAgainstTheStandardAlphabet) {
  // Standard Base64 of 0xD3 0x4D 0x35 is "0001"-free; pick bytes whose standard form is
  // "0123": indexes 52 53 54 55 map to "1234" here.
  const std::string bytes = "\xD3\x5D\xB7";
  EXPECT_EQ(Base64Encode(bytes), "1234");
  EXPECT_EQ(Base64Decode("1234"), bytes);
  // Index 61 is "0" here (standard "9").
  EXPECT_EQ(Base64Decode("AAA0"), std::string("\0\0\x3D", 3));
}

TEST(StandardBase64, PaddedWithTheStandardAlphabet) {
  EXPECT_EQ(StandardBase64Encode(""), "");
  EXPECT_EQ(StandardBase64Encode("a"), "YQ==");
  EXPECT_EQ(StandardBase64Encode("ab"), "YWI=");
  EXPECT_EQ(StandardBase64Encode("\xD3\x5D\xB7\xFB\xFF"), "0123+/8=");
  // Long texts stay one line.
  EXPECT_EQ(StandardBase64Encode(std::string(300, 'x')).find('\n'), std::string::npos);
}

TEST(SettingsBase64, DecodingNeverFails) {
  // "/" is not in the alphabet and counts as index 0; "=" is a data character (63).
  EXPECT_EQ(Base64Decode("////"), std::string(3, '\0'));
  EXPECT_EQ(Base64Decode("===="), "\xFF\xFF\xFF");
  // A single trailing character is dropped.
  EXPECT_EQ(Base64Decode("YWJjY"), "abc");
}

TEST(SettingsBase64, EveryByteValueRoundTrips) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (std::size_t length = 0; length <= bytes.size(); length += 37) {
    std::string part = bytes.substr(0, length);
    EXPECT_EQ(Base64Decode(Base64Encode(part)), part) << length;
  }
}

TEST(SettingsText, StoresAnsiCodePageBytes) {
  // The fixture's player name, as the Windows build stored it (GBK bytes).
  EXPECT_EQ(EncodeSettingsText("史蒂夫"), "yre23bfy");
  EXPECT_EQ(DecodeSettingsText("yre23bfy"), "史蒂夫");
  EXPECT_EQ(DecodeSettingsText(EncodeSettingsText("p@ss 密码")), "p@ss 密码");
  EXPECT_EQ(EncodeSettingsText(""), "");
}

TEST(SettingsText, UnrepresentableCharactersBecomeQuestionMarks) {
  // GBK holds no emoji: the Windows build would store '?', and so do we.
  EXPECT_EQ(DecodeSettingsText(EncodeSettingsText("a\xF0\x9F\x98\x80z")), "a?z");
}

}  // namespace
}  // namespace kv
