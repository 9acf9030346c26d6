#include "util/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kv {
namespace {

Result<int> ParseDigit(char c) {
  if (c < '0' || c > '9') return Fail(FailureKind::Invalid, std::string("不是数字：") + c);
  return c - '0';
}

TEST(Result, CarriesTheValueOrTheFailureWithItsKindAndText) {
  const Result<int> seven = ParseDigit('7');
  ASSERT_TRUE(seven.ok());
  EXPECT_EQ(*seven, 7);

  const Result<int> letter = ParseDigit('x');
  ASSERT_FALSE(letter);
  EXPECT_EQ(letter.kind(), FailureKind::Invalid);
  EXPECT_EQ(letter.message(), "不是数字：x");
}

TEST(Result, MovesValuesThatCannotBeCopied) {
  Result<std::unique_ptr<int>> owned = std::make_unique<int>(3);
  ASSERT_TRUE(owned.ok());
  const std::unique_ptr<int> taken = std::move(owned).value();
  EXPECT_EQ(*taken, 3);
}

TEST(Result, VoidResultIsSuccessUntilGivenAFailure) {
  const Status done;
  EXPECT_TRUE(done.ok());
  const Status refused = Fail(FailureKind::Refused, "服务器拒绝");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.kind(), FailureKind::Refused);
  EXPECT_EQ(refused.message(), "服务器拒绝");
}

}  // namespace
}  // namespace kv
