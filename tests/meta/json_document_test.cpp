#include "meta/json_document.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

std::int32_t Int32Of(const std::string& json) {
  Json::Value value;
  EXPECT_TRUE(json::ParseDocument(json, value)) << json;
  return json::Int32(value);
}

TEST(JsonDocument, IntegersOfEveryKind) {
  const std::pair<const char*, int> cases[] = {
      {"null", 0},          {"true", 1},          {"false", 0},         {"21", 21},
      {"-7", -7},           {"21.9", 21},         {"-21.9", -21},       {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},           {"2147483648", 0},    {"-2147483649", 0},
      {"18446744073709551615", 0},                {"1e300", 0},         {"-1e300", 0},
      {"\"13\"", 0},        {"[13]", 0},          {"{}", 0},
  };
  for (const auto& [json, expected] : cases) EXPECT_EQ(Int32Of(json), expected) << json;
}

}  // namespace
}  // namespace kv
