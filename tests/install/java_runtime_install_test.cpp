// Installing a published Java runtime from a local stand-in for the publisher: what lands in the
// launcher's runtime folder, and that every refusal and failed download leaves nothing there.
#include "install/java_runtime_install.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "net/download_engine.h"
#include "platform/java_source.h"
#include "platform/launcher_folder.h"
#include "tests/install/runtime_publisher.h"
#include "tests/net/engine_test_support.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class JavaRuntimeInstall : public ::testing::Test {
 protected:
  DownloadSource Source() const {
    return DownloadSource(SourceKind::Official, mirror_->BaseUrl() + "/official", "http://127.0.0.1:9",
                          "http://127.0.0.1:9");
  }
  void Serve() {
    mirror_ = std::make_unique<test::MirrorProcess>(served_.Path());
    ASSERT_TRUE(mirror_->Started()) << mirror_->Log();
  }
  std::string Runtimes() const { return LauncherRuntimesFolder(launcher_.Path()); }

  // Plans the published component, downloads it with the engine and completes it.
  Result<std::string> Install(const std::string& component) {
    Result<std::vector<PublishedRuntime>> offered = FetchRuntimeIndex(Source(), "linux");
    if (!offered) return std::move(offered).failure();
    const PublishedRuntime* runtime = FindRuntime(*offered, component);
    if (runtime == nullptr) return Fail(FailureKind::NotFound, component);
    Result<RuntimeInstall> install = RuntimeInstall::Plan(Source(), launcher_.Path(), *runtime);
    if (!install) return std::move(install).failure();
    test::RecordingSink sink;
    DownloadOptions options = test::FastRetries();
    options.failuresBeforeGivingUp = 2;
    const DownloadOutcome outcome = DownloadEngine(install->Downloads(), sink, options).Run();
    for (const test::RecordingSink::Retry& retry : sink.retries) failures_ += retry.reason + "\n";
    if (outcome.result != DownloadResult::Completed) return Fail(FailureKind::Other, outcome.reason);
    return install->Complete();
  }

  // Everything below the runtime folder, folders and links included.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(Runtimes(), error), end; !error && it != end; it.increment(error)) {
      found.push_back(fs::relative(it->path(), Runtimes()).string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  test::TempFolder served_;
  test::TempFolder launcher_;
  test::RuntimePublisher publisher_{served_.Path()};
  std::unique_ptr<test::MirrorProcess> mirror_;
  std::string failures_;  // why downloads were tried again
};

TEST_F(JavaRuntimeInstall, APublishedRuntimeLandsWithItsFoldersLinksAndRunBitsAndIsFoundAfterwards) {
  publisher_.AddSmallRuntime("21.0.3");
  publisher_.Publish("java-runtime-delta", "21.0.3", "linux");
  Serve();
  Result<std::string> java = Install("java-runtime-delta");
  ASSERT_TRUE(java.ok()) << java.message();
  const std::string home = Runtimes() + "java-runtime-delta/";
  EXPECT_EQ(*java, home + "bin/java");
  EXPECT_EQ(test::ReadFile(*java), test::ShellJava("21.0.3"));
  EXPECT_NE(fs::status(*java).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(fs::status(home + "release").permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_TRUE(fs::is_directory(home + "legal"));
  EXPECT_EQ(fs::read_symlink(home + "lib/server/libjsig.so"), "../libjsig.so");
  EXPECT_EQ(test::ReadFile(home + "lib/server/libjsig.so"), test::SmallRuntimeLibrary("21.0.3"));
  // Nothing of the making is left beside it.
  EXPECT_EQ(fs::path(Leftovers().front()).begin()->string(), "java-runtime-delta");
  EXPECT_FALSE(fs::exists(Runtimes() + ".staging"));

  LinuxJavaSource::Places places;
  places.launcherRuntimes = Runtimes();
  const std::vector<JavaRuntime> found = LinuxJavaSource(places).Runtimes();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].path, *java);
  EXPECT_EQ(found[0].version, "21.0.3");
  EXPECT_EQ(found[0].origin, JavaOrigin::Launcher);
}

TEST_F(JavaRuntimeInstall, ALinkClimbingOutAWrongChecksumAndAnUnreachableFileEachLeaveNothing) {
  publisher_.AddSmallRuntime("17.0.8");
  publisher_.AddLink("lib/escape", "../../../../etc");
  publisher_.Publish("climbing", "17.0.8", "linux");
  publisher_.AddSmallRuntime("17.0.9");
  publisher_.Publish("tampered", "17.0.9", "linux");
  publisher_.Tamper("bin/java");
  publisher_.AddSmallRuntime("17.0.10");
  publisher_.Publish("withheld", "17.0.10", "linux");
  publisher_.Withhold("lib/libjsig.so");
  Serve();

  Result<std::string> climbing = Install("climbing");
  ASSERT_FALSE(climbing.ok());
  EXPECT_EQ(climbing.kind(), FailureKind::Invalid);
  EXPECT_NE(climbing.message().find("lib/escape"), std::string::npos) << climbing.message();
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});

  Result<std::string> tampered = Install("tampered");
  ASSERT_FALSE(tampered.ok());
  EXPECT_NE(failures_.find("SHA-1 mismatch"), std::string::npos) << failures_;
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});

  EXPECT_FALSE(Install("withheld").ok());
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

TEST_F(JavaRuntimeInstall, ALinkThatLeavesThroughAnotherLinkIsCaughtWhereItReallyLeads) {
  publisher_.AddSmallRuntime("17.0.8");
  // As text each stays inside; followed, "up" is the runtime's folder and its ".." lies outside.
  publisher_.AddLink("a/b/up", "../..");
  publisher_.AddLink("out", "a/b/up/..");
  publisher_.Publish("sly", "17.0.8", "linux");
  Serve();
  Result<std::string> java = Install("sly");
  ASSERT_FALSE(java.ok());
  EXPECT_EQ(java.kind(), FailureKind::Refused);
  EXPECT_NE(java.message().find("out -> a/b/up/.."), std::string::npos) << java.message();
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

TEST_F(JavaRuntimeInstall, AFailedReinstallKeepsTheInstalledCopyAndASuccessfulOneReplacesIt) {
  publisher_.AddSmallRuntime("21.0.3");
  publisher_.Publish("java-runtime-delta", "21.0.3", "linux");
  Serve();
  ASSERT_TRUE(Install("java-runtime-delta").ok());
  const std::string java = Runtimes() + "java-runtime-delta/bin/java";

  publisher_.AddSmallRuntime("21.0.7");
  publisher_.Publish("java-runtime-delta", "21.0.7", "linux");
  publisher_.Withhold("bin/java");
  EXPECT_FALSE(Install("java-runtime-delta").ok());
  EXPECT_EQ(test::ReadFile(java), test::ShellJava("21.0.3"));

  publisher_.AddSmallRuntime("21.0.7");
  publisher_.Publish("java-runtime-delta", "21.0.7", "linux");
  ASSERT_TRUE(Install("java-runtime-delta").ok());
  EXPECT_EQ(test::ReadFile(java), test::ShellJava("21.0.7"));
  EXPECT_EQ(fs::path(Leftovers().front()).begin()->string(), "java-runtime-delta");
  EXPECT_FALSE(fs::exists(Runtimes() + ".staging"));
}

TEST_F(JavaRuntimeInstall, TheIndexComesThroughTheSourceOrNotAtAll) {
  // Nothing answers: the launcher hands the question on.
  const DownloadSource closed(SourceKind::Official, "http://127.0.0.1:9", "http://127.0.0.1:9", "http://127.0.0.1:9");
  EXPECT_EQ(FetchRuntimeIndex(closed, "linux").kind(), FailureKind::Unreachable);
  const DownloadSource mirrorLayout(SourceKind::Mirror, "", "", "http://127.0.0.1:9");
  EXPECT_EQ(FetchRuntimeIndex(mirrorLayout, "linux").kind(), FailureKind::Unreachable);
  // The China mirror serves the index's host as it serves the others.
  const DownloadSource china(SourceKind::ChinaMirror, "", "https://bmclapi.example", "");
  EXPECT_EQ(china.Addresses(kRuntimeIndexUrl).front(),
            "https://bmclapi.example/v1/products/java-runtime/2ec0cc96c44e5a76b9c8b7c39df7210883d12871/all.json");

  publisher_.AddSmallRuntime("17.0.8");
  publisher_.Publish("java-runtime-gamma", "17.0.15", "linux");
  publisher_.AddSmallRuntime("1.8.0_202");
  publisher_.Publish("jre-legacy", "8u202", "linux");
  Serve();
  Result<std::vector<PublishedRuntime>> offered = FetchRuntimeIndex(Source(), "linux");
  ASSERT_TRUE(offered.ok()) << offered.message();
  ASSERT_NE(FindRuntimeOfMajor(*offered, 8), nullptr);
  EXPECT_EQ(FindRuntimeOfMajor(*offered, 8)->component, "jre-legacy");
  EXPECT_EQ(FindRuntimeOfMajor(*offered, 17)->component, "java-runtime-gamma");
  EXPECT_EQ(FindRuntimeOfMajor(*offered, 21), nullptr);
  EXPECT_TRUE(FetchRuntimeIndex(Source(), "windows-x64")->empty());
}

TEST(RuntimeComponent, AVersionThatNamesNoRuntimeGetsTheLegacyOne) {
  VersionDescription description;
  EXPECT_EQ(RuntimeComponentFor(description), "jre-legacy");
  description.javaComponent = "java-runtime-delta";
  EXPECT_EQ(RuntimeComponentFor(description), "java-runtime-delta");
}

}  // namespace
}  // namespace kv
