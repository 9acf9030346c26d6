#include "util/utf8_stream.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Utf8StreamDecoder, CharactersSplitAcrossChunksSurvive) {
  const std::string text = "日志 a\xF0\x9F\x98\x80 游戏";
  // Cut the text at every position: the decoded whole is always the text.
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    Utf8StreamDecoder decoder;
    std::string out = decoder.Feed(text.substr(0, cut));
    out += decoder.Feed(text.substr(cut));
    out += decoder.Finish();
    EXPECT_EQ(out, text) << cut;
  }
  // Byte by byte.
  Utf8StreamDecoder decoder;
  std::string out;
  for (char byte : text) out += decoder.Feed(std::string_view(&byte, 1));
  EXPECT_EQ(out + decoder.Finish(), text);
}

TEST(Utf8StreamDecoder, BadBytesBecomeReplacementCharacters) {
  Utf8StreamDecoder decoder;
  EXPECT_EQ(decoder.Feed("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(decoder.Feed("c\xE6\xB8"), "c");  // held back: may complete later
  EXPECT_EQ(decoder.Feed("x"), "\xEF\xBF\xBD" "x");
  EXPECT_EQ(decoder.Feed("\xE6"), "");
  EXPECT_EQ(decoder.Finish(), "\xEF\xBF\xBD");
  EXPECT_EQ(decoder.Finish(), "");
}

}  // namespace
}  // namespace kv
