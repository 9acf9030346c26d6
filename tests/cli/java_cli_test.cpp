// korvane-cli and the publisher's Java runtimes: launch and prepare fetch the one a version needs
// without asking, java list and java install, and a configured Java that is gone.
#include <gtest/gtest.h>

#include <filesystem>

#include "install/java_runtime_install.h"
#include "platform/profile_store.h"
#include "settings/instance_commands.h"
#include "tests/install/runtime_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/messages.h"

namespace kv {
namespace {

class JavaCli : public ::testing::Test {
 protected:
  void SetUp() override {
    // A version of a Java no machine has, whose own files are all in place.
    ASSERT_EQ(AddInstance(settings_, home_ / ".minecraft/", "未来", "v99").status, InstanceCommandStatus::Done);
    test::WriteFile(home_ / ".minecraft/versions/v99/v99.json",
                    R"({"id":"v99","mainClass":"Main","minecraftArguments":"--demo",)"
                    R"("javaVersion":{"component":"java-runtime-omega","majorVersion":99},"libraries":[]})");
    test::WriteFile(home_ / ".minecraft/versions/v99/v99.jar", "x");
    publisher_.AddSmallRuntime("99.0.1");
    publisher_.Publish("java-runtime-omega", "99.0.1", HostRuntimePlatform());
    publisher_.AddSmallRuntime("1.8.0_202");
    publisher_.Publish("jre-legacy", "8u202", HostRuntimePlatform());
    mirror_ = std::make_unique<test::MirrorProcess>(served_.Path());
    ASSERT_TRUE(mirror_->Started()) << mirror_->Log();
  }

  test::CommandResult Run(const std::vector<std::string>& args) const {
    return test::RunCommand(KORVANE_CLI, args,
                            {"KORVANE_HOME=" + home_.Path(), "HOME=" + home_.Path(), "KORVANE_SOURCE=",
                             "KORVANE_OFFICIAL_ROOT=" + mirror_->BaseUrl() + "/official", "JAVA_HOME=",
                             "PATH=/nonexistent"});
  }
  std::string RuntimeJava(const std::string& component) const { return home_ / ("runtime/" + component + "/bin/java"); }

  test::TempFolder home_;
  test::TempFolder served_;
  std::string settings_ = home_ / "KvCfg.ini";
  test::RuntimePublisher publisher_{served_.Path()};
  std::unique_ptr<test::MirrorProcess> mirror_;
};

TEST_F(JavaCli, LaunchFetchesTheRuntimeWithoutAskingAndPlaysWithItAndJavaListShowsIt) {
  const test::CommandResult launch = Run({"launch", "未来"});
  ASSERT_EQ(launch.status, 0) << launch.err;
  EXPECT_NE(launch.err.find(msg::RuntimeDownloading(99, "java-runtime-omega")), std::string::npos) << launch.err;
  EXPECT_EQ(launch.out.rfind("java ran: ", 0), 0u) << launch.out;

  const test::CommandResult list = Run({"java", "list"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find(RuntimeJava("java-runtime-omega") + "\t99\t启动器下载\n"), std::string::npos) << list.out;
}

TEST_F(JavaCli, NoJavaDownloadRefusesInLaunchAndPrepareWhichOtherwiseFetchesIt) {
  for (const char* command : {"launch", "prepare"}) {
    const test::CommandResult refused = Run({command, "未来", "--no-java-download"});
    EXPECT_EQ(refused.status, 1) << command;
    EXPECT_NE(refused.err.find(msg::RuntimeDownloadRefused(99, "java-runtime-omega")), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(home_ / "runtime/java-runtime-omega")) << command;
  }
  const test::CommandResult prepare = Run({"prepare", "未来"});
  ASSERT_EQ(prepare.status, 0) << prepare.err;
  EXPECT_TRUE(std::filesystem::exists(RuntimeJava("java-runtime-omega")));
}

TEST_F(JavaCli, JavaInstallTakesAComponentOrAMajorVersion) {
  const test::CommandResult byMajor = Run({"java", "install", "8"});
  ASSERT_EQ(byMajor.status, 0) << byMajor.err;
  EXPECT_EQ(byMajor.out, msg::RuntimeInstalled("jre-legacy", RuntimeJava("jre-legacy")) + "\n");
  const test::CommandResult byName = Run({"java", "install", "java-runtime-omega"});
  ASSERT_EQ(byName.status, 0) << byName.err;
  EXPECT_TRUE(std::filesystem::exists(RuntimeJava("java-runtime-omega")));

  const test::CommandResult unknown = Run({"java", "install", "17"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find(msg::RuntimeNotOffered("17", HostRuntimePlatform())), std::string::npos) << unknown.err;
  EXPECT_EQ(Run({"java", "install", "../../etc"}).status, 1);
  EXPECT_EQ(Run({"java", "install"}).status, 2);
  EXPECT_EQ(Run({"java"}).status, 2);
}

TEST_F(JavaCli, AConfiguredJavaThatIsGoneStopsTheLaunchNamingItAndWhatFits) {
  const std::string gone = home_ / "old-jdk/bin/java";
  profile::WriteString(settings_, "KvCfg", "JavaPath", gone);
  const test::CommandResult launch = Run({"launch", "未来"});
  EXPECT_EQ(launch.status, 1);
  EXPECT_NE(launch.err.find(msg::JavaUnusable(gone, msg::kJavaProgramMissing) + "\n" + msg::FittingJavaDownloadable(99) +
                            "\n" + msg::kUseAutomaticJavaCommand),
            std::string::npos)
      << launch.err;
  EXPECT_FALSE(std::filesystem::exists(home_ / "runtime/java-runtime-omega"));

  // Leaving the choice to the launcher, as the message says.
  ASSERT_EQ(Run({"set", "JavaPath", ""}).status, 0);
  EXPECT_EQ(profile::GetString(settings_, "KvCfg", "JavaPath", "<none>"), "");
  const test::CommandResult again = Run({"launch", "未来"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out.rfind("java ran: ", 0), 0u) << again.out;
}

}  // namespace
}  // namespace kv
