// What the installed JVM itself prints when it cannot start the game, as a launch leaves it in
// the game's output: options it does not know, memory settings it refuses, and classes newer
// than it can run.
#include <gtest/gtest.h>

#include "tests/crash/crash_fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

constexpr const char* kJava = "/usr/bin/java";

// A class file of version `major` that declares a class "A" and nothing else: enough for the
// JVM to read its version and refuse it.
std::string ClassFileOfVersion(unsigned major) {
  const auto u2 = [](unsigned value) { return std::string{static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}; };
  const std::string object = "java/lang/Object";
  return std::string("\xCA\xFE\xBA\xBE", 4) + u2(0) + u2(major) + u2(5) +  // magic, version, 4 constants
         "\x07" + u2(2) + "\x01" + u2(1) + "A" +                              // class A
         "\x07" + u2(4) + "\x01" + u2(static_cast<unsigned>(object.size())) + object +  // its superclass
         u2(0x21) + u2(1) + u2(3) + u2(0) + u2(0) + u2(0) + u2(0);
}

struct Complaint {
  std::vector<std::string> arguments;
  std::string cause;
  std::string name;   // a captured name
  std::string value;  // its value
};

TEST(JvmComplaints, TheInstalledJvmsOwnWordsAreUnderstood) {
  if (!PathExists(kJava)) GTEST_SKIP() << "no Java in /usr/bin";
  test::TempFolder folder;
  test::WriteFile(folder / "A.class", ClassFileOfVersion(200));
  const std::vector<Complaint> complaints = {
      {{"-XX:+KorvaneNoSuchOption", "-version"}, "jvm-option-unrecognized", "option", "KorvaneNoSuchOption"},
      {{"--korvane-no-such-option", "-version"}, "jvm-option-unrecognized", "option", "--korvane-no-such-option"},
      {{"-Xmx12q", "-version"}, "heap-size-invalid", "option", "-Xmx12q"},
      {{"-Xms1024M", "-Xmx512M", "-version"}, "heap-size-invalid", "", ""},
      {{"-cp", folder.Path(), "A"}, "java-too-old", "classVersion", "200"},
  };
  for (const Complaint& complaint : complaints) {
    SCOPED_TRACE(complaint.arguments.front());
    const test::CommandResult run = test::RunCommand(kJava, complaint.arguments);
    EXPECT_NE(run.status, 0);
    // The launcher reads the game's standard output and error as one.
    const CrashAnalysis analysis = test::BuiltInAnalyzer().Analyze({{"game-latest.log", run.out + run.err}}, run.status);
    ASSERT_EQ(test::CauseIds(analysis), std::vector<std::string>{complaint.cause}) << run.err;
    if (!complaint.name.empty()) {
      EXPECT_EQ(analysis.causes[0].captures.at(complaint.name), std::vector<std::string>{complaint.value});
    }
  }
}

}  // namespace
}  // namespace kv
