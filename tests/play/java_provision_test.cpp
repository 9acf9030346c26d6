// The Java of a launch: a version whose Java the machine lacks gets the publisher's runtime from a
// local stand-in, and a player's Java that cannot run is named with what fits instead.
#include "play/java_provision.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "install/java_runtime_install.h"
#include "net/download_engine.h"
#include "platform/launcher_folder.h"
#include "platform/profile_store.h"
#include "play/launch_sequence.h"
#include "tests/install/runtime_publisher.h"
#include "tests/net/engine_test_support.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/messages.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// What the player is asked and shown about Java, the downloads (run for real) and the game.
class JavaSink : public LaunchSink {
 public:
  void FinishLoading() override {}
  void ShowMessage(const std::string& text, MessageKind) override { events.push_back("message " + text); }
  void OfferJavaDownload(const std::string& text) override { events.push_back("updater " + text); }
  bool ConfirmRuntimeDownload(int major, const std::string& component) override {
    events.push_back("download? " + std::to_string(major) + " " + component);
    return agree;
  }
  bool ConfirmJavaReplacement(const std::string& text) override {
    events.push_back("replace? " + text);
    return agree;
  }
  DownloadResult RunDownloads(const std::vector<DownloadItem>& plan) override {
    events.push_back("downloads " + std::to_string(plan.size()));
    if (cancelDownloads) return DownloadResult::Cancelled;
    test::RecordingSink progress;
    return DownloadEngine(plan, progress, test::FastRetries()).Run().result;
  }
  void ShowLauncher(bool) override {}
  bool HasLogWindow() const override { return true; }
  void ShowLog(bool) override {}
  void ClearLog() override {}
  void AppendLog(const std::string& text) override { log += text; }

  std::vector<std::string> events;
  std::string log;
  bool agree = true;
  bool cancelDownloads = false;
};

// Runtimes at fixed paths, as a machine's discovery would list them.
class ListedJava : public JavaRuntimeSource {
 public:
  std::vector<JavaRuntime> Runtimes() const override { return runtimes; }
  std::vector<JavaRuntime> runtimes;
};

class LaunchJava : public ::testing::Test {
 protected:
  void SetUp() override {
    environment_.Set("KORVANE_HOME", home_.Path());
    // A version of Java 21 whose files are all in place.
    test::WriteFile(game_ + "versions/v21/v21.json",
                    R"({"id":"v21","mainClass":"Main","minecraftArguments":"--demo",)"
                    R"("javaVersion":{"component":"java-runtime-delta","majorVersion":21},"libraries":[]})");
    test::WriteFile(game_ + "versions/v21/v21.jar", "x");
    launcherRuntimes_.launcherRuntimes = LauncherRuntimesFolder(home_.Path());
  }

  void PublishDelta() {
    publisher_.AddSmallRuntime("21.0.3");
    publisher_.Publish("java-runtime-delta", "21.0.3", HostRuntimePlatform());
    mirror_ = std::make_unique<test::MirrorProcess>(served_.Path());
    ASSERT_TRUE(mirror_->Started()) << mirror_->Log();
    official_ = std::make_unique<test::ScopedEnvironment>("KORVANE_OFFICIAL_ROOT", mirror_->BaseUrl() + "/official");
  }

  LaunchResult Run(const JavaRuntimeSource& java) {
    LaunchServices services;
    services.sendStatsEvent = [](const std::string&) {};
    services.metadata.both = [](const DownloadSource&, const std::string&, const std::string&,
                                const VersionDescription*) {};
    services.metadata.assetIndex = [](const DownloadSource&, const std::string&, const VersionDescription&) {};
    services.java = &java;
    LaunchSequence sequence(settings_, services, PlatformProfile::Linux());
    LaunchResult result = sequence.Run({"inst", "v21", false, true}, sink_);
    chosen_ = sequence.Java();
    return result;
  }

  std::string Setting(const char* key) { return profile::GetString(settings_, "KvCfg", key, "<none>"); }
  std::string RuntimeJava() const { return LauncherRuntimesFolder(home_.Path()) + "java-runtime-delta/bin/java"; }
  bool RuntimeFolderEmpty() const {
    std::error_code error;
    return fs::is_empty(LauncherRuntimesFolder(home_.Path()), error) || error;
  }
  // A Java 17 the machine has: a script that prints how it was run.
  std::string MakeMachineJava() {
    const std::string java = home_ / "machine-jdk/bin/java";
    test::WriteFile(java, test::ShellJava("17.0.15"));
    ::chmod(java.c_str(), 0755);
    return java;
  }

  test::TempFolder home_;
  test::TestEnvironment environment_;
  test::TempFolder served_;
  std::string settings_ = home_ / "KvCfg.ini";
  std::string game_ = home_ / ".minecraft/";
  LinuxJavaSource::Places launcherRuntimes_;
  test::RuntimePublisher publisher_{served_.Path()};
  std::unique_ptr<test::MirrorProcess> mirror_;
  std::unique_ptr<test::ScopedEnvironment> official_;
  JavaSink sink_;
  JavaChoice chosen_;
};

TEST_F(LaunchJava, AJavaTheMachineLacksIsDownloadedAfterOneQuestionAndTheGameStartsWithIt) {
  PublishDelta();
  const LinuxJavaSource onlyDownloaded(launcherRuntimes_);
  const LaunchResult result = Run(onlyDownloaded);
  ASSERT_EQ(result.status, LaunchStatus::GameEnded) << ::testing::PrintToString(sink_.events);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"download? 21 java-runtime-delta", "downloads 3"}));
  ASSERT_FALSE(result.command.empty());
  EXPECT_EQ(result.command[0], RuntimeJava());
  EXPECT_EQ(chosen_.reason, msg::JavaFromRuntime(21, 21));
  EXPECT_NE(sink_.log.find("java ran: "), std::string::npos) << sink_.log;
  // The runtime as its manifest describes it: run bits, the link, the library's bytes.
  const std::string home = LauncherRuntimesFolder(home_.Path()) + "java-runtime-delta/";
  EXPECT_NE(fs::status(RuntimeJava()).permissions() & fs::perms::others_exec, fs::perms::none);
  EXPECT_EQ(fs::read_symlink(home + "lib/server/libjsig.so"), "../libjsig.so");
  EXPECT_EQ(test::ReadFile(home + "lib/server/libjsig.so"), test::SmallRuntimeLibrary("21.0.3"));

  // Found the next time like any runtime: nothing asked, nothing fetched.
  sink_.events.clear();
  EXPECT_EQ(Run(onlyDownloaded).status, LaunchStatus::GameEnded);
  EXPECT_EQ(sink_.events, std::vector<std::string>{});
  EXPECT_EQ(chosen_.path, RuntimeJava());
}

TEST_F(LaunchJava, DecliningOrCancellingTheRuntimeStartsNothingAndLeavesNothing) {
  PublishDelta();
  const LinuxJavaSource onlyDownloaded(launcherRuntimes_);
  sink_.agree = false;
  EXPECT_EQ(Run(onlyDownloaded).status, LaunchStatus::JavaMissing);
  EXPECT_EQ(sink_.events, std::vector<std::string>{"download? 21 java-runtime-delta"});
  sink_.agree = true;
  sink_.cancelDownloads = true;
  EXPECT_EQ(Run(onlyDownloaded).status, LaunchStatus::DownloadsCancelled);
  EXPECT_TRUE(RuntimeFolderEmpty());
  EXPECT_FALSE(fs::exists(home_ / "Instance/inst"));
}

TEST_F(LaunchJava, WhereTheIndexCannotBeReachedTheUpdaterIsOfferedAsBefore) {
  const ListedJava nothing;
  EXPECT_EQ(Run(nothing).status, LaunchStatus::JavaMissing);
  EXPECT_EQ(sink_.events, std::vector<std::string>{std::string("updater ") + msg::kJavaNotFound});
  ListedJava java8;
  java8.runtimes = {{"/bin/sh", "1.8.0_392"}};
  sink_.events.clear();
  EXPECT_EQ(Run(java8).status, LaunchStatus::JavaMissing);
  EXPECT_EQ(sink_.events, std::vector<std::string>{"updater " + msg::JavaMissing(21, true)});
}

TEST_F(LaunchJava, APlayersJavaThatIsGoneIsNamedWithTheFoundOneAndReplacedOnlyWithConsent) {
  const std::string gone = home_ / "old-jdk/bin/java";
  profile::WriteString(settings_, "KvCfg", "JavaPath", gone);
  profile::WriteString(settings_, "KvCfg", "JavaVer", "21.0.1");
  ListedJava machine;
  machine.runtimes = {{"/bin/sh", "1.8.0_392"}, {MakeMachineJava(), "21.0.2"}};
  const std::string text = msg::JavaUnusable(gone, msg::kJavaProgramMissing) + "\n" +
                           msg::FittingJavaFound(21, 21, machine.runtimes[1].path);

  sink_.agree = false;
  EXPECT_EQ(Run(machine).status, LaunchStatus::JavaUnusable);
  EXPECT_EQ(sink_.events, std::vector<std::string>{"replace? " + text});
  EXPECT_EQ(Setting("JavaPath"), gone);

  sink_.agree = true;
  sink_.events.clear();
  const LaunchResult result = Run(machine);
  ASSERT_EQ(result.status, LaunchStatus::GameEnded);
  EXPECT_EQ(sink_.events, std::vector<std::string>{"replace? " + text});
  EXPECT_EQ(result.command[0], machine.runtimes[1].path);
  // From now on the launcher chooses.
  EXPECT_EQ(Setting("JavaPath"), "");
  EXPECT_EQ(Setting("JavaVer"), "");
}

TEST_F(LaunchJava, APlayersJavaThatCannotRunIsReplacedByTheDownloadableOneWithoutASecondQuestion) {
  PublishDelta();
  const std::string plain = home_ / "plain-file";
  test::WriteFile(plain, "not a program");
  profile::WriteString(settings_, "KvCfg", "JavaPath", plain);
  const LinuxJavaSource onlyDownloaded(launcherRuntimes_);
  const LaunchResult result = Run(onlyDownloaded);
  ASSERT_EQ(result.status, LaunchStatus::GameEnded);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"replace? " + msg::JavaUnusable(plain, msg::kJavaProgramNotRunnable) +
                                                         "\n" + msg::FittingJavaDownloadable(21),
                                                     "downloads 3"}));
  EXPECT_EQ(result.command[0], RuntimeJava());
}

TEST_F(LaunchJava, APlayersJavaThatCannotStartWithNothingToOfferHandsOverToTheUpdater) {
  const std::string orphan = home_ / "orphan-java";
  test::WriteFile(orphan, "#!/nonexistent/interpreter\n");
  ::chmod(orphan.c_str(), 0755);
  profile::WriteString(settings_, "KvCfg", "JavaPath", orphan);
  const ListedJava nothing;
  EXPECT_EQ(Run(nothing).status, LaunchStatus::JavaUnusable);
  ASSERT_EQ(sink_.events.size(), 1u);
  EXPECT_EQ(sink_.events[0].rfind("updater 设置中的 Java 无法使用（无法启动: ", 0), 0u) << sink_.events[0];
  EXPECT_NE(sink_.events[0].find(orphan), std::string::npos) << sink_.events[0];
  EXPECT_NE(sink_.events[0].find(msg::JavaMissing(21, true)), std::string::npos) << sink_.events[0];
}

}  // namespace
}  // namespace kv
