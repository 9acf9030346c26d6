// Logs as they come: written in GBK with CRLF by a game on a Chinese Windows, with a byte order
// mark, in UTF-16, as log4j's XML event stream, and longer than is worth reading.
#include "crash/log_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "crash/log4j_events.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "util/text.h"

namespace kv {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string WithCrLf(const std::string& text) {
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

// A real log whose text has Chinese in it (a player's folder names), without its mark.
std::string ChineseLog() {
  std::string text = test::ReadFixture("crash-logs/hmcl/logs/duplicated_mod.txt");
  EXPECT_TRUE(text.starts_with(kBom));
  return text.substr(kBom.size());
}

TEST(LogText, WhatAChineseWindowsWroteReadsAsTheSameText) {
  const std::string text = ChineseLog();
  // As the game's console wrote it there: GBK bytes, CRLF line ends.
  const std::string gbk = WithCrLf(ToNarrow(text, kCodePageGbk));
  ASSERT_FALSE(IsValidUtf8(gbk));
  EXPECT_EQ(DecodeLogText(gbk), text);
  EXPECT_NE(DecodeLogText(gbk).find("A:\\MC启动器\\..\\MC\\versions\\1.12.2\\mods\\"), std::string::npos);
}

TEST(LogText, MarksAndLineEndsOfEveryKindAreLeftOut) {
  const std::string text = ChineseLog();
  EXPECT_EQ(DecodeLogText(std::string(kBom) + text), text);
  EXPECT_EQ(DecodeLogText("\xFF\xFE" + ToNarrow(WithCrLf(text), kCodePageUtf16Le)), text);
  EXPECT_EQ(DecodeLogText("one\rtwo\r\nthree\n\r"), "one\ntwo\nthree\n\n");
}

TEST(LogText, Log4jEventsBecomeOneLineEach) {
  const std::string xml = test::ReadFixture("crash-logs/prism/vanilla-1.21.5.xml.log");
  const std::string text = DecodeLogText(xml);
  EXPECT_EQ(text.find("<log4j"), std::string::npos) << text;
  EXPECT_TRUE(text.starts_with("[Datafixer Bootstrap/INFO]: 263 Datafixer optimizations took 906 milliseconds\n")) << text;
  EXPECT_NE(text.find("\n[Render thread/INFO]: Setting user: Ryexandrite\n"), std::string::npos);
  std::size_t events = 0;
  for (std::size_t at = xml.find("<log4j:Event"); at != std::string::npos; at = xml.find("<log4j:Event", at + 1)) ++events;
  EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), events);
}

TEST(LogText, Log4jEventsWithExceptionsTextBetweenThemAndAnEndCutShort) {
  const std::string stream =
      "<log4j:Event logger=\"a\" timestamp=\"1\" level=\"FATAL\" thread=\"Worker &amp; Main\">\n"
      "  <log4j:Message><![CDATA[A message with ]]]]><![CDATA[> and </log4j:Event> in it]]></log4j:Message>\n"
      "  <log4j:Throwable><![CDATA[java.lang.Error: boom\n\tat a.B.c(B.java:1)\n]]></log4j:Throwable>\n"
      "</log4j:Event>\n"
      "Error: what the JVM printed itself\n"
      "<log4j:Event logger=\"a\" timestamp=\"2\" level=\"INFO\" thread=\"main\">\n"
      "  <log4j:Message><![CDATA[the game stopped writ";
  EXPECT_EQ(Log4jEventsToText(stream),
            "[Worker & Main/FATAL]: A message with ]]> and </log4j:Event> in it\n"
            "java.lang.Error: boom\n\tat a.B.c(B.java:1)\n"
            "Error: what the JVM printed itself\n"
            "<log4j:Event logger=\"a\" timestamp=\"2\" level=\"INFO\" thread=\"main\">\n"
            "  <log4j:Message><![CDATA[the game stopped writ\n");
}

TEST(LogText, ALongLogIsReadFromItsEndStartingAtALine) {
  test::TempFolder folder;
  std::string log;
  for (int i = 0; i < 1000; ++i) log += "line " + std::to_string(i) + "\n";
  test::WriteFile(folder / "latest.log", log);

  const Result<std::string> tail = ReadLogFile(folder / "latest.log", 100);
  ASSERT_TRUE(tail.ok());
  EXPECT_LE(tail->size(), 100u);
  EXPECT_TRUE(tail->starts_with("line ")) << *tail;
  EXPECT_TRUE(tail->ends_with("line 999\n"));
  EXPECT_EQ(ReadLogFile(folder / "latest.log", log.size()).value(), log);

  const Result<std::string> missing = ReadLogFile(folder / "gone.log", 100);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.kind(), FailureKind::NotFound);
}

}  // namespace
}  // namespace kv
