#include "meta/version_description.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kv {
namespace {

using namespace std::literals;

VersionDescription Parsed(std::string_view text) {
  VersionDescription description;
  EXPECT_TRUE(ParseVersionDescription(text, description)) << text;
  return description;
}

TEST(VersionDescription, EmptyObjectGivesAnEmptyRecord) {
  const VersionDescription d = Parsed("{}");
  EXPECT_EQ(d.id, "");
  EXPECT_EQ(d.minecraftArguments, "");
  EXPECT_TRUE(d.libraries.empty());
  EXPECT_EQ(d.mainClass, "");
}

TEST(VersionDescription, ReadsEveryFieldOfALibrary) {
  const VersionDescription d = Parsed(R"({
    "id": "1.7.10", "time": "t", "releaseTime": "r", "type": "release",
    "minecraftArguments": "--username ${auth_player_name}", "minimumLauncherVersion": 13,
    "assets": "1.7.10", "mainClass": "net.minecraft.client.main.Main",
    "libraries": [
      {"name": "a.b:c:1",
       "rules": [{"action": "allow"}, {"action": "disallow", "os": {"name": "osx", "version": "^10"}}],
       "natives": {"linux": "natives-linux", "windows": "natives-windows-${arch}", "osx": "natives-osx"},
       "extract": {"exclude": ["META-INF/", "x/"]}},
      {"name": "d:e:2"}
    ]})");
  EXPECT_EQ(d.id, "1.7.10");
  EXPECT_EQ(d.type, "release");
  EXPECT_EQ(d.assets, "1.7.10");
  EXPECT_EQ(d.mainClass, "net.minecraft.client.main.Main");
  ASSERT_EQ(d.libraries.size(), 2u);
  const LibraryEntry& first = d.libraries[0];
  EXPECT_EQ(first.name, "a.b:c:1");
  ASSERT_EQ(first.rules.size(), 2u);
  EXPECT_EQ(first.rules[0].action, "allow");
  EXPECT_EQ(first.rules[0].osName, "");  // a rule without "os"
  EXPECT_EQ(first.rules[1].action, "disallow");
  EXPECT_EQ(first.rules[1].osName, "osx");
  EXPECT_EQ(first.nativesLinux, "natives-linux");
  EXPECT_EQ(first.nativesWindows, "natives-windows-${arch}");
  EXPECT_EQ(first.nativesOsx, "natives-osx");
  EXPECT_EQ(first.extractExclude, (std::vector<std::string>{"META-INF/", "x/"}));
  const LibraryEntry& second = d.libraries[1];
  EXPECT_EQ(second.name, "d:e:2");
  EXPECT_TRUE(second.rules.empty());
  EXPECT_EQ(second.nativesWindows, "");
  EXPECT_TRUE(second.extractExclude.empty());
}

TEST(VersionDescription, ASecondParseLeavesNothingOfTheFirst) {
  VersionDescription d;
  ASSERT_TRUE(ParseVersionDescription(R"({"id":"a","mainClass":"M","libraries":[{"name":"x:y:1"}]})", d));
  ASSERT_TRUE(ParseVersionDescription(R"({"id":"b","minimumLauncherVersion":4})", d));
  EXPECT_EQ(d.id, "b");
  EXPECT_EQ(d.mainClass, "");
  EXPECT_TRUE(d.libraries.empty());
}

TEST(VersionDescription, TextThatIsNotJsonLeavesTheRecordUntouched) {
  VersionDescription d;
  ASSERT_TRUE(ParseVersionDescription(R"({"id":"kept","libraries":[{"name":"x:y:1"}]})", d));
  for (std::string_view bad : {""sv, "   "sv, "{"sv, R"({"id":"x")"sv, R"({"id":"x",)"sv, "[1,2"sv,
                               "{\"id\":\"x\"\n"sv, "nul"sv, "{'id':'x'}"sv, "\xEF\xBB\xBF"sv}) {
    EXPECT_FALSE(ParseVersionDescription(bad, d)) << bad;
  }
  EXPECT_EQ(d.id, "kept");
  EXPECT_EQ(d.libraries.size(), 1u);
}

TEST(VersionDescription, ReaderFeaturesOfTheClassicReader) {
  // Comments, any value at the top, text after the value, a byte-order mark.
  EXPECT_EQ(Parsed("// c\n{\"id\": /* c */ \"x\"}").id, "x");
  EXPECT_EQ(Parsed("[1, 2]").id, "");
  EXPECT_EQ(Parsed("\"just text\"").id, "");
  EXPECT_EQ(Parsed("{\"id\":\"x\"} trailing").id, "x");
  EXPECT_EQ(Parsed("\xEF\xBB\xBF{\"id\":\"x\"}").id, "x");
}

TEST(VersionDescription, ConvertsValuesOfOtherKinds) {
  const VersionDescription d = Parsed(R"({"id": true, "time": false, "type": null,
      "releaseTime": 12, "assets": [1], "mainClass": {"a": 1}, "minecraftArguments": 1.5})");
  EXPECT_EQ(d.id, "true");
  EXPECT_EQ(d.type, "");
  EXPECT_EQ(d.assets, "");
  EXPECT_EQ(d.mainClass, "");
  EXPECT_EQ(d.minecraftArguments, "");
}

TEST(VersionDescription, ListsOfTheWrongKindReadAsEmpty) {
  const VersionDescription d = Parsed(R"({"libraries": [
      {"name": "a:b:1", "rules": {"action": "allow"}, "natives": "windows", "extract": {"exclude": "META-INF/"}},
      {"name": "c:d:1", "rules": [7, {"action": 1, "os": "linux"}], "extract": [1]},
      "not an object", 5, null,
      {"name": "e:f:1", "natives": {"windows": ["x"]}, "extract": {"exclude": [null, true, 3]}}]})");
  ASSERT_EQ(d.libraries.size(), 6u);
  EXPECT_TRUE(d.libraries[0].rules.empty());
  EXPECT_EQ(d.libraries[0].nativesWindows, "");
  EXPECT_TRUE(d.libraries[0].extractExclude.empty());
  ASSERT_EQ(d.libraries[1].rules.size(), 2u);
  EXPECT_EQ(d.libraries[1].rules[0].action, "");
  EXPECT_EQ(d.libraries[1].rules[1].osName, "");
  EXPECT_EQ(d.libraries[2].name, "");
  EXPECT_EQ(d.libraries[5].nativesWindows, "");
  EXPECT_EQ(d.libraries[5].extractExclude, (std::vector<std::string>{"", "true", ""}));
  for (const char* notAList : {R"({"libraries": {"name": "a:b:1"}})", R"({"libraries": "a:b:1"})",
                               R"({"libraries": 3})", R"({"libraries": null})"}) {
    EXPECT_TRUE(Parsed(notAList).libraries.empty()) << notAList;
  }
}

TEST(VersionDescription, KeepsBytesAsTheyStand) {
  // A NUL inside a string, and bytes that are not UTF-8, stay in the text.
  const std::string text = "{\"id\":\"a\\u0000b\",\"mainClass\":\"\xff\xfe\",\"type\":\"\xe4\xb8\xad\"}";
  const VersionDescription d = Parsed(text);
  EXPECT_EQ(d.id, "a\0b"s);
  EXPECT_EQ(d.mainClass, "\xff\xfe");
  EXPECT_EQ(d.type, "\xe4\xb8\xad");
  // The bytes are taken with their count, so a NUL in the text ends nothing.
  EXPECT_EQ(Parsed("{\"id\":\"x\"}\0garbage"s).id, "x");
}

TEST(VersionDescription, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  VersionDescription d;
  d.id = "kept";
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_FALSE(ParseVersionDescription(deep, d));
  const std::string deepObject = "{\"id\":" + std::string(100000, '[');
  EXPECT_FALSE(ParseVersionDescription(deepObject, d));
  EXPECT_EQ(d.id, "kept");
  // Nesting as deep as real documents need is fine.
  EXPECT_TRUE(ParseVersionDescription(std::string(50, '[') + std::string(50, ']'), d));
}

TEST(VersionDescription, HugeNumbers) {
  // Integers beyond 64 bits are read as reals; a number beyond the range of a double is not
  // a number the reader can hold, so such a document does not count as JSON.
  EXPECT_EQ(Parsed(R"({"id":"x","n":123456789012345678901234567890,"minimumLauncherVersion":1e308})").id, "x");
  VersionDescription d;
  EXPECT_FALSE(ParseVersionDescription(R"({"id":"x","n":1e999999})", d));
  EXPECT_EQ(d.id, "");
}

}  // namespace
}  // namespace kv
