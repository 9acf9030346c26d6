#include "launch/argument_words.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using Words = std::vector<std::string>;

TEST(ArgumentWords, BlanksSeparate) {
  EXPECT_EQ(SplitArgumentWords(""), Words{});
  EXPECT_EQ(SplitArgumentWords(" \t\r\n "), Words{});
  EXPECT_EQ(SplitArgumentWords("  -Xss1M\t-Da=1\n-Db=2  "), (Words{"-Xss1M", "-Da=1", "-Db=2"}));
}

TEST(ArgumentWords, QuotesKeepBlanksAndJoinWithTheirNeighbours) {
  EXPECT_EQ(SplitArgumentWords("-Dname=\"a b\" 'c  d'"), (Words{"-Dname=a b", "c  d"}));
  EXPECT_EQ(SplitArgumentWords("a\"b c\"d'e f'g"), (Words{"ab cde fg"}));
  EXPECT_EQ(SplitArgumentWords("\"\" '' x"), (Words{"", "", "x"}));
  EXPECT_EQ(SplitArgumentWords("\"it's\" 'say \"hi\"'"), (Words{"it's", "say \"hi\""}));
}

TEST(ArgumentWords, Backslashes) {
  // Escapes for quotes, blanks and backslashes; anything else keeps its backslash.
  EXPECT_EQ(SplitArgumentWords(R"(a\ b \"q\" \' \\x)"), (Words{"a b", "\"q\"", "'", "\\x"}));
  EXPECT_EQ(SplitArgumentWords(R"(-Dp=C:\game\natives)"), (Words{R"(-Dp=C:\game\natives)"}));
  EXPECT_EQ(SplitArgumentWords(R"("a \"b\" \\ \n")"), (Words{R"(a "b" \ \n)"}));
  EXPECT_EQ(SplitArgumentWords(R"('a\'b)"), (Words{"a\\b"}));  // nothing escapes inside ''
  EXPECT_EQ(SplitArgumentWords("end\\"), (Words{"end\\"}));
}

TEST(ArgumentWords, NothingIsExpanded) {
  EXPECT_EQ(SplitArgumentWords("$HOME `id` $(id) * ; | > x"),
            (Words{"$HOME", "`id`", "$(id)", "*", ";", "|", ">", "x"}));
}

TEST(ArgumentWords, AnUnclosedQuoteRunsToTheEnd) {
  EXPECT_EQ(SplitArgumentWords("a \"b c"), (Words{"a", "b c"}));
  EXPECT_EQ(SplitArgumentWords("a 'b c"), (Words{"a", "b c"}));
  EXPECT_EQ(SplitArgumentWords("\""), (Words{""}));
}

}  // namespace
}  // namespace kv
