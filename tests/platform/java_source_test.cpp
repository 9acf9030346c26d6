#include "platform/java_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace kv {
namespace {

void MakeRuntime(const std::string& home, const std::string& version, bool executable = true) {
  test::WriteFile(home + "/bin/java", "#!/bin/sh\n");
  ::chmod((home + "/bin/java").c_str(), executable ? 0755 : 0644);
  if (!version.empty()) test::WriteFile(home + "/release", "IMPLEMENTOR=\"x\"\nJAVA_VERSION=\"" + version + "\"\n");
}

TEST(LinuxJavaSource, OrderIsJavaHomeThenPathThenRootsByName) {
  test::TempFolder dir;
  MakeRuntime(dir / "jvm/b-17", "17.0.15");
  MakeRuntime(dir / "jvm/a-21", "21.0.2");
  MakeRuntime(dir / "home/jdk8", "1.8.0_392");
  MakeRuntime(dir / "onpath/jdk11", "11.0.20");
  test::WriteFile(dir / "jvm/not-a-runtime/readme", "x");
  MakeRuntime(dir / "jvm/no-exec", "1.0", false);

  MakeRuntime(dir / "launcher/runtime/jre-legacy", "1.8.0_202");
  // A runtime still being made has no bin/java one level down.
  MakeRuntime(dir / "launcher/runtime/.staging/java-runtime-gamma-12", "17.0.15");

  LinuxJavaSource source({dir / "home/jdk8", "/nonexistent:" + dir / "onpath/jdk11/bin", {dir / "jvm"},
                          dir / "launcher/runtime/"});
  std::vector<JavaRuntime> runtimes = source.Runtimes();
  ASSERT_EQ(runtimes.size(), 5u);
  EXPECT_EQ(runtimes[0].path, dir / "home/jdk8/bin/java");
  EXPECT_EQ(runtimes[0].version, "1.8.0_392");
  EXPECT_EQ(runtimes[0].origin, JavaOrigin::JavaHome);
  EXPECT_EQ(runtimes[1].version, "11.0.20");
  EXPECT_EQ(runtimes[1].origin, JavaOrigin::SearchPath);
  EXPECT_EQ(runtimes[2].path, dir / "jvm/a-21/bin/java");
  EXPECT_EQ(runtimes[2].origin, JavaOrigin::System);
  EXPECT_EQ(runtimes[3].version, "17.0.15");
  EXPECT_EQ(runtimes[4].path, dir / "launcher/runtime/jre-legacy/bin/java");
  EXPECT_EQ(runtimes[4].version, "1.8.0_202");
  EXPECT_EQ(runtimes[4].origin, JavaOrigin::Launcher);
}

TEST(LinuxJavaSource, ARelativeJavaHomeGivesAnAbsolutePath) {
  test::TempFolder dir;
  MakeRuntime(dir / "jdk", "17.0.15");
  const std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  const std::vector<JavaRuntime> runtimes = LinuxJavaSource({"jdk", "", {}}).Runtimes();
  std::filesystem::current_path(previous);
  ASSERT_EQ(runtimes.size(), 1u);
  EXPECT_EQ(runtimes[0].path, dir / "jdk/bin/java");
}

TEST(LinuxJavaSource, LinksAreResolvedAndDuplicatesDropped) {
  test::TempFolder dir;
  MakeRuntime(dir / "jvm/java-17-openjdk-amd64", "17.0.15");
  std::filesystem::create_directory_symlink(dir / "jvm/java-17-openjdk-amd64", dir / "jvm/default-java");
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::create_symlink(dir / "jvm/java-17-openjdk-amd64/bin/java", dir / "bin/java");

  LinuxJavaSource source({"", dir / "bin", {dir / "jvm"}});
  std::vector<JavaRuntime> runtimes = source.Runtimes();
  ASSERT_EQ(runtimes.size(), 1u);
  EXPECT_EQ(runtimes[0].path, dir / "jvm/java-17-openjdk-amd64/bin/java");
  EXPECT_EQ(runtimes[0].version, "17.0.15");
}

TEST(LinuxJavaSource, NothingInstalled) {
  test::TempFolder dir;
  LinuxJavaSource source({dir / "missing", "", {dir / "missing-root"}});
  EXPECT_TRUE(source.Runtimes().empty());
}

TEST(LinuxJavaSource, FindsTheMachinesJava) {
  // The build machine has a JDK (the end-to-end tests need it).
  std::vector<JavaRuntime> runtimes = HostJavaSource().Runtimes();
  ASSERT_FALSE(runtimes.empty());
  EXPECT_FALSE(runtimes[0].version.empty());
}

TEST(JavaVersions, MajorVersionsOfBothNumberings) {
  const std::pair<const char*, int> cases[] = {{"1.8.0_392", 8}, {"1.7.0_55", 7}, {"17.0.15", 17}, {"21", 21},
                                               {"25-ea", 25}, {"11.0.20+8", 11}, {"", 0}, {"abc", 0}, {"1", 1},
                                               {"99999999999", 9999}};
  for (const auto& [version, major] : cases) EXPECT_EQ(JavaMajorVersion(version), major) << version;
}

TEST(JavaVersions, TheVersionOfAChosenJavaComesFromItsRuntime) {
  test::TempFolder dir;
  MakeRuntime(dir / "jdk-17", "17.0.15");
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::create_symlink(dir / "jdk-17/bin/java", dir / "bin/java");  // as /usr/bin/java is
  const LinuxJavaSource source({"", "", {}});
  EXPECT_EQ(source.VersionOf(dir / "jdk-17/bin/java"), "17.0.15");
  EXPECT_EQ(source.VersionOf(dir / "bin/java"), "17.0.15");
  EXPECT_EQ(source.VersionOf(dir / "nothing/bin/java"), "");
  EXPECT_EQ(source.VersionOf(""), "");
}

void MakeScript(const std::string& path, const std::string& body) {
  test::WriteFile(path, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
}

TEST(ProbeJavaRuntime, TellsJavaFromOtherFiles) {
  test::TempFolder dir;
  // A runtime with a release file: its java is taken without being run (the script would fail).
  MakeRuntime(dir / "jdk17", "17.0.15");
  std::optional<JavaRuntime> found = ProbeJavaRuntime(dir / "jdk17/bin/java");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->version, "17.0.15");
  EXPECT_EQ(found->path, dir / "jdk17/bin/java");
  // Without one, what the program says about itself decides.
  MakeScript(dir / "bare/java", "echo 'openjdk version \"21.0.2\" 2024-01-16' >&2\n");
  found = ProbeJavaRuntime(dir / "bare/java");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->version, "21.0.2");
  // Another tool of the runtime, a program that is not Java, a failing one, a plain file, a
  // folder and nothing at all are refused.
  MakeScript(dir / "jdk17/bin/jar", "echo 'jar 17.0.15'\n");
  MakeScript(dir / "bin/other", "echo hello\n");
  MakeScript(dir / "bin/broken", "echo 'version \"1.0\"'; exit 3\n");
  test::WriteFile(dir / "bin/plain", "not a program");
  for (const std::string& path : {dir / "jdk17/bin/jar", dir / "bin/other", dir / "bin/broken", dir / "bin/plain",
                                  dir.Path(), dir / "missing"}) {
    EXPECT_FALSE(ProbeJavaRuntime(path)) << path;
  }
}

TEST(InspectJavaProgram, SaysWhetherAProgramIsMissingCannotRunOrRunsWithoutSayingItsVersion) {
  test::TempFolder dir;
  MakeRuntime(dir / "jdk17", "17.0.15");
  EXPECT_TRUE(CheckJavaProgramFile(dir / "jdk17/bin/java").ok());
  EXPECT_EQ(InspectJavaProgram(dir / "jdk17/bin/java")->version, "17.0.15");

  EXPECT_EQ(CheckJavaProgramFile(dir / "gone/bin/java").kind(), FailureKind::NotFound);
  EXPECT_EQ(CheckJavaProgramFile("").kind(), FailureKind::NotFound);
  test::WriteFile(dir / "bin/plain", "not a program");
  EXPECT_EQ(CheckJavaProgramFile(dir / "bin/plain").kind(), FailureKind::Refused);
  EXPECT_EQ(CheckJavaProgramFile(dir / "bin").kind(), FailureKind::Refused);
  EXPECT_EQ(InspectJavaProgram(dir / "bin").kind(), FailureKind::Refused);

  // Marked as a program, but nothing the system can start.
  MakeScript(dir / "bin/orphan", "");
  test::WriteFile(dir / "bin/orphan", "#!/nonexistent/interpreter\n");
  const Result<JavaRuntime> orphan = InspectJavaProgram(dir / "bin/orphan");
  ASSERT_FALSE(orphan.ok());
  EXPECT_EQ(orphan.kind(), FailureKind::Unsupported);
  EXPECT_TRUE(CheckJavaProgramFile(dir / "bin/orphan").ok());

  // It runs, but says nothing of a version: the player's word that it is a Java.
  MakeScript(dir / "bin/quiet", "exit 0\n");
  const Result<JavaRuntime> quiet = InspectJavaProgram(dir / "bin/quiet");
  ASSERT_TRUE(quiet.ok()) << quiet.message();
  EXPECT_EQ(quiet->version, "");
  EXPECT_FALSE(ProbeJavaRuntime(dir / "bin/quiet"));
}

}  // namespace
}  // namespace kv
