#include "net/url_encoding.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(PercentDecode, DecodesEitherCaseAndRefusesDamagedEscapes) {
  EXPECT_EQ(PercentDecode("https%3A%2F%2Fskin.example%2fapi%2Fyggdrasil"), "https://skin.example/api/yggdrasil");
  EXPECT_EQ(PercentDecode("%E7%9A%AE%E8%82%A4"), "皮肤");
  EXPECT_EQ(PercentDecode(PercentEncode("a b/c?d#e%")), "a b/c?d#e%");
  EXPECT_EQ(PercentDecode(""), "");
  for (const char* damaged : {"%", "abc%4", "%G0", "%%41", "a%2"}) EXPECT_EQ(PercentDecode(damaged), std::nullopt) << damaged;
}

TEST(WebAddresses, OnlyWholeHttpAddressesCount) {
  EXPECT_TRUE(IsWebAddress("https://skin.example/api/yggdrasil/"));
  EXPECT_TRUE(IsWebAddress("http://127.0.0.1:8080"));
  for (const char* other : {"skin.example", "ftp://skin.example/", "file:///etc/passwd", "javascript:alert(1)",
                            "https://", "", "https://exa mple.com/"}) {
    EXPECT_FALSE(IsWebAddress(other)) << other;
  }
}

TEST(WebAddresses, ReferencesResolveAgainstTheirBase) {
  EXPECT_EQ(ResolveAddress("https://skin.example/home", "/api/yggdrasil/"), "https://skin.example/api/yggdrasil/");
  EXPECT_EQ(ResolveAddress("https://skin.example/a/b", "api"), "https://skin.example/a/api");
  EXPECT_EQ(ResolveAddress("https://skin.example/", "https://auth.example/api"), "https://auth.example/api");
  EXPECT_EQ(ResolveAddress("not an address", "/api"), std::nullopt);
  EXPECT_EQ(WithoutTrailingSlash("https://skin.example/api//"), "https://skin.example/api");
}

}  // namespace
}  // namespace kv
