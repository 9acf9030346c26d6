// korvane-cli's versions and prepare commands against korvane-mirror.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "game/game_layout.h"
#include "install/download_planning.h"
#include "net/size_text.h"
#include "platform/profile_store.h"
#include "settings/instance_commands.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

extern char** environ;

namespace kv {
namespace {

using namespace std::chrono_literals;
using test::MirrorProcess;
using test::ReadFile;
using test::TempFolder;
using test::TestBytes;
using test::WriteFile;

// The objects of the test's index: named by their SHA-1, as the published ones are.
std::string ObjectBytes(int i) { return TestBytes(100 + static_cast<std::size_t>(i), static_cast<unsigned>(i)); }
std::string Hash(int i) { return test::Sha1Of(ObjectBytes(i)); }

constexpr const char* kDescription = R"({
  "id": "7.7", "assets": "7.7", "mainClass": "demo.Main",
  "libraries": [
    {"name": "com.example:plain:1.0"},
    {"name": "org.example:sound:2.0", "natives": {"linux": "natives-linux", "windows": "natives-windows"}}
  ]})";

class DownloadCli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(AddInstance(home_ / "KvCfg.ini", game_, "生存", "7.7").status, InstanceCommandStatus::Done);
    WriteFile(served_ / "versions/versions.json", test::ReadFixture("versions/version_manifest.json"));
    WriteFile(served_ / "versions/7.7/7.7.json", kDescription);
    std::string index = "{\"objects\":{";
    for (int i = 0; i < 50; ++i) {
      std::string hash = Hash(i);
      index += std::string(i == 0 ? "" : ",") + "\"sounds/" + std::to_string(i) + ".ogg\":{\"hash\":\"" + hash +
               "\",\"size\":" + std::to_string(100 + i) + "}";
      WriteFile(served_ / ("objects/" + hash.substr(0, 2) + "/" + hash), ObjectBytes(i));
    }
    WriteFile(served_ / "indexes/7.7.json", index + "}}");
    test::MakeZip(served_ / "libs/com/example/plain/1.0/plain-1.0.jar", {{"Plain.class", TestBytes(3000, 1)}});
    test::MakeZip(served_ / "libs/org/example/sound/2.0/sound-2.0-natives-linux.jar", {{"libsound.so", "elf"}});
    test::MakeZip(served_ / "versions/7.7/7.7.jar", {{"Game.class", TestBytes(2000000, 2)}});
    // The Java 8 that 7.7 needs, so that prepare has no Java to fetch.
    WriteFile(home_ / "jdk8/bin/java", "#!/bin/sh\n");
    std::filesystem::permissions(home_ / "jdk8/bin/java", std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    WriteFile(home_ / "jdk8/release", "JAVA_VERSION=\"1.8.0_392\"\n");
  }

  std::vector<std::string> Environment(const MirrorProcess& mirror) const {
    return {"KORVANE_HOME=" + home_.Path(), "KORVANE_SOURCE=mirror", "KORVANE_MIRROR=" + mirror.BaseUrl(),
            "JAVA_HOME=" + home_ / "jdk8", "PATH=/nonexistent"};
  }

  test::CommandResult Run(const MirrorProcess& mirror, const std::vector<std::string>& args) const {
    return test::RunCommand(KORVANE_CLI, args, Environment(mirror));
  }

  TempFolder home_;
  TempFolder served_;
  const std::string game_ = home_.Path() + ".minecraft/";
};

TEST_F(DownloadCli, VersionsListsTheLocalCopyAfterARefresh) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  test::CommandResult missing = Run(mirror, {"versions"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("korvane-cli versions --refresh"), std::string::npos) << missing.err;
  const std::vector<std::string> offline{"KORVANE_HOME=" + home_.Path(), "KORVANE_SOURCE=mirror",
                                         "KORVANE_MIRROR=http://127.0.0.1:9"};
  // Neither a copy nor a source: said so, in one line.
  test::CommandResult nothing = test::RunCommand(KORVANE_CLI, {"versions", "--refresh"}, offline);
  EXPECT_EQ(nothing.status, 1);
  EXPECT_EQ(nothing.out, "");
  EXPECT_EQ(nothing.err,
            "korvane-cli: 无法从下载源获取版本列表，本地也没有版本列表: 无法下载 "
            "http://127.0.0.1:9/versions/versions.json: 服务器没有回应或没有告知文件大小（请检查网络连接和 DownloadSource 设置）\n");

  test::CommandResult refreshed = Run(mirror, {"versions", "--refresh"});
  ASSERT_EQ(refreshed.status, 0) << refreshed.err;
  EXPECT_EQ(refreshed.out.substr(0, 35), "18w10d\tsnapshot\n18w09a\tsnapshot\n18w");
  EXPECT_EQ(std::count(refreshed.out.begin(), refreshed.out.end(), '\n'), 129);
  EXPECT_NE(refreshed.out.find("\n1.7.10\trelease\n"), std::string::npos);

  // Offline now: the local copy still answers.
  test::CommandResult stale = test::RunCommand(KORVANE_CLI, {"versions", "--refresh"}, offline);
  EXPECT_EQ(stale.status, 0);
  EXPECT_EQ(stale.out, refreshed.out);
  EXPECT_NE(stale.err.find("本地副本"), std::string::npos);
  EXPECT_EQ(Run(mirror, {"versions", "--all"}).status, 2);

  // A list that names no version says so.
  WriteFile(VersionListPath(game_), R"({"latest":{},"versions":[]})");
  const test::CommandResult empty = test::RunCommand(KORVANE_CLI, {"versions"}, offline);
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");
  EXPECT_TRUE(empty.err.starts_with("korvane-cli: 版本列表中没有任何版本: ")) << empty.err;
}

TEST_F(DownloadCli, PrepareFetchesAVersionFromNothing) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  test::CommandResult result = Run(mirror, {"prepare", "生存"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "生存: 所有文件都已就位\n");
  const std::string plainJar = served_ / "libs/com/example/plain/1.0/plain-1.0.jar";
  const std::string plainSize = FileSizeText(static_cast<std::int64_t>(GetFileSize(plainJar)));
  EXPECT_NE(result.err.find(") plain-1.0.jar " + plainSize + " "), std::string::npos) << result.err;
  // The last line: every file in place, every byte.
  std::string last = result.err.substr(result.err.rfind('\n', result.err.size() - 2) + 1);
  EXPECT_EQ(last.substr(0, 8), "(53/53) ") << result.err;
  EXPECT_EQ(last.substr(last.size() - 6), " 100%\n") << result.err;
  // Once bytes have arrived, the speed shows them, from the first line on.
  for (std::size_t start = 0, end = 0; (end = result.err.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = result.err.substr(start, end - start);
    const bool bytesArrived = !line.ends_with(" 0%") && line.ends_with("%");
    if (bytesArrived) {
      EXPECT_EQ(line.find("下载速度:0B/"), std::string::npos) << line;
    }
  }

  EXPECT_EQ(ReadFile(VersionJarPath(game_, "7.7")), ReadFile(served_ / "versions/7.7/7.7.jar"));
  EXPECT_EQ(ReadFile(game_ + "/libraries/org/example/sound/2.0/libsound.so"), "elf");
  EXPECT_EQ(ReadFile(game_ + "/assets/objects/" + Hash(49).substr(0, 2) + "/" + Hash(49)), ObjectBytes(49));

  // Everything in place: nothing is fetched but the two size queries.
  int gets = mirror.CountRequests("GET", "/versions/7.7/7.7.jar");
  result = Run(mirror, {"prepare", "生存"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(mirror.CountRequests("GET", "/versions/7.7/7.7.jar"), gets);

  const test::CommandResult unknown = Run(mirror, {"prepare", "不存在"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.err, "korvane-cli: 没有这个游戏实例: 不存在\n");
  EXPECT_EQ(Run(mirror, {"prepare"}).status, 2);
}

TEST_F(DownloadCli, ANativesJarThatCannotBeUnpackedFailsThePrepareAndIsFetchedAgain) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  // A folder stands where the jar's library goes.
  const std::string natives = game_ + "/libraries/org/example/sound/2.0/";
  std::filesystem::create_directories(natives + "libsound.so");
  test::CommandResult failed = Run(mirror, {"prepare", "生存"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_NE(failed.err.find("korvane-cli: 无法解压 sound-2.0-natives-linux.jar: 1 个文件无法解压"), std::string::npos)
      << failed.err;
  EXPECT_FALSE(PathExists(natives + "sound-2.0-natives-linux.jar"));

  std::filesystem::remove(natives + "libsound.so");
  test::CommandResult again = Run(mirror, {"prepare", "生存"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(ReadFile(natives + "libsound.so"), "elf");
  EXPECT_EQ(mirror.CountRequests("GET", "/libs/org/example/sound/2.0/sound-2.0-natives-linux.jar"), 2);
}

TEST_F(DownloadCli, JobsOrTheSettingBoundTheFilesAtOnce) {
  for (std::vector<std::string> wrong : std::vector<std::vector<std::string>>{
           {"prepare", "生存", "--jobs"}, {"prepare", "生存", "--jobs", "0"}, {"prepare", "生存", "--jobs", "65"},
           {"prepare", "生存", "--jobs", "4x"}, {"prepare", "--jobs", "4"}}) {
    test::CommandResult result = test::RunCommand(KORVANE_CLI, wrong, {"KORVANE_HOME=" + home_.Path()});
    EXPECT_EQ(result.status, 2) << wrong.back();
    EXPECT_NE(result.err.find("--jobs N"), std::string::npos) << result.err;
  }
  // At most one connection for each of the two metadata checks and one for the files, fetched
  // one after the other.
  {
    MirrorProcess mirror(served_.Path());
    ASSERT_TRUE(mirror.Started());
    ASSERT_EQ(Run(mirror, {"prepare", "--jobs", "1", "生存"}).status, 0);
    EXPECT_LE(mirror.CountConnections(), 3) << mirror.Log();
  }
  ASSERT_TRUE(profile::WriteString(home_ / "KvCfg.ini", "KvCfg", "DownloadThreads", "1"));
  std::filesystem::remove_all(game_ + "/assets/objects");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  ASSERT_EQ(Run(mirror, {"prepare", "生存"}).status, 0);
  EXPECT_LE(mirror.CountConnections(), 3) << mirror.Log();
}

TEST_F(DownloadCli, VerifyFetchesAgainWhatNoLongerMatches) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  ASSERT_EQ(Run(mirror, {"prepare", "生存"}).status, 0);
  const std::string object = game_ + "/assets/objects/" + Hash(7).substr(0, 2) + "/" + Hash(7);
  WriteFile(object, TestBytes(107, 1000));  // the same size, other bytes
  const std::string path = "/objects/" + Hash(7).substr(0, 2) + "/" + Hash(7);
  ASSERT_EQ(Run(mirror, {"prepare", "生存"}).status, 0);
  EXPECT_EQ(mirror.CountRequests("GET", path), 1);
  const test::CommandResult verified = Run(mirror, {"prepare", "生存", "--verify"});
  ASSERT_EQ(verified.status, 0) << verified.err;
  EXPECT_EQ(mirror.CountRequests("GET", path), 2);
  EXPECT_EQ(ReadFile(object), ObjectBytes(7));
  EXPECT_EQ(Run(mirror, {"prepare", "生存", "--verify", "--all"}).status, 2);
}

TEST_F(DownloadCli, TheOfficialListWithItsTypes) {
  WriteFile(served_ / "official/piston-meta.mojang.com/mc/game/version_manifest_v2.json",
            test::ReadFixture("versions/modern/version_manifest_v2.json"));
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  const test::CommandResult listed =
      test::RunCommand(KORVANE_CLI, {"versions", "--refresh"},
                       {"KORVANE_HOME=" + home_.Path(), "KORVANE_SOURCE=official",
                        "KORVANE_OFFICIAL_ROOT=" + mirror.BaseUrl() + "/official", "KORVANE_BMCLAPI_ROOT=http://127.0.0.1:9"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 891);
  EXPECT_EQ(listed.out.substr(0, 20), "26.2-pre-2\tsnapshot\n");
  for (const char* line : {"\n26.1.2\trelease\n", "\nb1.8.1\told_beta\n", "\nrd-132211\told_alpha\n"}) {
    EXPECT_NE(listed.out.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(mirror.CountRequests("GET", "/official/piston-meta.mojang.com/mc/game/version_manifest_v2.json"), 1);
}

TEST_F(DownloadCli, NamesFromTheMirrorCannotDriveTheTerminal) {
  std::string hash = test::Sha1Of("x");
  WriteFile(served_ / "indexes/7.7.json",
            "{\"objects\":{\"sounds/\\u001b]0;pwned\\u0007\\u001b[2Jx.ogg\":{\"hash\":\"" + hash + "\",\"size\":1}}}");
  WriteFile(served_ / ("objects/" + hash.substr(0, 2) + "/" + hash), "x");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  test::CommandResult result = Run(mirror, {"prepare", "生存"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("sounds/?]0;pwned??[2Jx.ogg"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
}

TEST_F(DownloadCli, CtrlCLeavesThePartialFileForTheNextRun) {
  std::string jar = VersionJarPath(game_, "7.7");
  {
    // 2 MB at 1 MB a second: interrupted half-way through the client jar.
    MirrorProcess slow(served_.Path(), {"--rate", "1000000"});
    ASSERT_TRUE(slow.Started());
    TempFolder logs;
    std::vector<std::string> env = Environment(slow);
    for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = KORVANE_CLI;
    std::vector<std::string> args{program, "prepare", "生存"};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, (logs / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    auto deadline = std::chrono::steady_clock::now() + 20s;
    while (GetFileSize(jar + ".tmp") < 300000 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(20ms);
    }
    ::kill(pid, SIGINT);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(ReadFile(logs / "err").find("下载已取消"), std::string::npos) << ReadFile(logs / "err");
  }
  std::uint64_t part = GetFileSize(jar + ".tmp");
  EXPECT_GE(part, 300000u);
  EXPECT_LT(part, 2000000u);
  EXPECT_FALSE(PathExists(jar));

  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  test::CommandResult result = Run(mirror, {"prepare", "生存"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadFile(jar), ReadFile(served_ / "versions/7.7/7.7.jar"));
  EXPECT_NE(mirror.Log().find("GET /versions/7.7/7.7.jar bytes=" + std::to_string(part) + "- 206"), std::string::npos)
      << mirror.Log();
}

}  // namespace
}  // namespace kv
