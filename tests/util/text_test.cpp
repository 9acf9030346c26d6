#include "util/text.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(TextConversion, GbkRoundTrip) {
  std::string gbk = ToNarrow("游戏 Korvane", kCodePageGbk);
  EXPECT_EQ(gbk, "\xD3\xCE\xCF\xB7 Korvane");
  EXPECT_EQ(ToWide(gbk, kCodePageGbk), "游戏 Korvane");
}

TEST(TextConversion, AnsiCodePageIsAProcessSetting) {
  EXPECT_EQ(AnsiCodePage(), kCodePageGbk);
  EXPECT_EQ(ToNarrow("游", kCodePageThreadAnsi), "\xD3\xCE");
  SetAnsiCodePage(1252);
  EXPECT_EQ(ToNarrow("\xC3\xA9", kCodePageAnsi), "\xE9");
  EXPECT_EQ(ToNarrow("游", kCodePageAnsi), "?");
  SetAnsiCodePage(kCodePageGbk);
}

TEST(TextConversion, BadInputIsReplacedNotFatal) {
  // One replacement per bad character, not per byte.
  EXPECT_EQ(ToNarrow("x\xF0\x9F\x98\x80y", kCodePageGbk), "x?y");
  EXPECT_EQ(ToNarrow("x\xE6\xB8y", kCodePageGbk), "x?y");
  EXPECT_EQ(ToWide("a\xFF" "b", kCodePageGbk), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(ToWide("a\xC3", kCodePageUtf8), "a\xEF\xBF\xBD");
  EXPECT_EQ(ToWide("abc", 99999), "\xEF\xBF\xBD");  // no such code page
  EXPECT_EQ(ToWide("", kCodePageGbk), "");
}

TEST(TextConversion, Utf16) {
  std::string utf16 = ToNarrow("A游\xF0\x9F\x98\x80", kCodePageUtf16Le);
  EXPECT_EQ(utf16, std::string("A\0\x38\x6E\x3D\xD8\x00\xDE", 8));
  EXPECT_EQ(ToWide(utf16, kCodePageUtf16Le), "A游\xF0\x9F\x98\x80");
}

TEST(TextConversion, CodePointsCountCharactersNotBytes) {
  EXPECT_EQ(CountCodePoints("a游\xF0\x9F\x98\x80"), 3u);
}

TEST(TextConversion, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("游戏"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong NUL
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE6\xB8"));      // truncated
}

TEST(TextConversion, PrintableTextCarriesNoControlCharacter) {
  EXPECT_EQ(Printable("皮肤站 Skin-1.0 ~!"), "皮肤站 Skin-1.0 ~!");
  // C0 (the escape of terminal sequences, line ends), DEL, C1 (CSI is U+009B), bytes that are
  // no UTF-8, a character cut short: each shown as '?'.
  EXPECT_EQ(Printable("\x1B[2J\r\n\t\x7F|\xC2\x9B" "31m|\xC2\xA0|\xFF\xFE|\xE6\xB8"), "?[2J????|?31m|\xC2\xA0|??|??");
}

TEST(TextConversion, UpperCaseCoversMoreThanAscii) {
  EXPECT_EQ(ToUpperCase("Forge 1.7.10 生存"), "FORGE 1.7.10 生存");
  EXPECT_EQ(ToUpperCase("Ärger é ß"), "ÄRGER É ß");  // one-to-one only: ß stays
  EXPECT_EQ(ToUpperCase("σ"), "Σ");
  EXPECT_EQ(ToUpperCase("a\xFF"), "A\xEF\xBF\xBD");
}

}  // namespace
}  // namespace kv
