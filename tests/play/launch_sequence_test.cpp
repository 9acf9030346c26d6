#include "play/launch_sequence.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "auth/stored_credentials.h"
#include "game/game_layout.h"
#include "platform/profile_store.h"
#include "settings/instance_list.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/base64.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

// Records everything the player would see, in order.
class RecordingSink : public LaunchSink {
 public:
  void FinishLoading() override { events.push_back("finish"); }
  void ShowStage(const std::string& text) override {
    stages.push_back(text);
    if (text == cancelAfter) cancelled = true;
  }
  bool CancelRequested() const override { return cancelled; }
  void ShowMessage(const std::string& text, MessageKind kind) override {
    events.push_back("message " + std::to_string(static_cast<int>(kind)) + " " + text);
  }
  void OfferJavaDownload(const std::string& text) override { events.push_back("java " + text); }
  DownloadResult RunDownloads(const std::vector<DownloadItem>& plan) override {
    events.push_back("downloads " + std::to_string(plan.size()));
    if (onDownloads) return onDownloads();
    return downloadResult;
  }
  std::optional<std::size_t> ChooseProfile(const std::vector<std::string>& names) override {
    std::string list;
    for (const std::string& name : names) list += " " + name;
    events.push_back("choose" + list);
    return chosen;
  }
  void ShowLauncher(bool visible) override {
    events.push_back(visible ? "show" : "hide");
    if (!visible && onHide) onHide();
  }
  bool HasLogWindow() const override { return true; }
  void ShowLog(bool visible) override { events.push_back(visible ? "log-show" : "log-hide"); }
  void ClearLog() override { events.push_back("log-clear"); }
  void AppendLog(const std::string& text) override { log += text; }

  std::vector<std::string> events;
  std::vector<std::string> stages;
  std::string cancelAfter;  // the player cancels once this stage is shown
  bool cancelled = false;
  std::string log;
  DownloadResult downloadResult = DownloadResult::Completed;
  std::optional<std::size_t> chosen;
  std::function<DownloadResult()> onDownloads;
  std::function<void()> onHide;  // the game has started
};

class LaunchSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    environment_.Set("KORVANE_HOME", dir_.Path());
    profile::WriteString(settings_, "KvCfg", "JavaPath", "/bin/echo");
    profile::WriteString(settings_, "KvCfg", "IsShowCmd", "true");
    profile::WriteString(settings_, "KvCfg", "PWD", EncodeSettingsText("password"));
  }

  LaunchServices Services() {
    LaunchServices services;
    services.sendStatsEvent = [this](const std::string& event) { calls_.push_back("stats " + event); };
    // A plain account service, or an authlib-injector server when `metadata_` is set.
    services.account.get = [this](const std::string&) { return AccountReply{.status = metadata_.empty() ? 404 : 200, .body = metadata_}; };
    services.account.post = [this](const std::string& url, const std::string&) -> Result<AccountReply> {
      const std::string action = url.substr(url.find_last_of('/') + 1);
      calls_.push_back(action == "authenticate" ? "sign-in" : action);
      const std::string& body = action == "authenticate" ? authReply_ : refreshReply_;
      if (body.empty()) return Fail(FailureKind::TimedOut, msg::kSignInTimedOut);
      return AccountReply{.status = 200, .body = body};
    };
    services.provideAgent = [this](const std::string&) {
      calls_.push_back("agent");
      return agent_;
    };
    services.metadata.both = [this](const DownloadSource&, const std::string&, const std::string& id,
                                    const VersionDescription* indexOwner) {
      calls_.push_back("check " + id + " " + (indexOwner ? indexOwner->assets : std::string()));
      if (onCheck) onCheck();
    };
    services.metadata.assetIndex = [this](const DownloadSource&, const std::string&, const VersionDescription& d) {
      calls_.push_back("check-index " + d.assets);
    };
    return services;
  }

  // A version "v1" with one library, its client jar and (when `withAssets`) an asset index of
  // one object, with every file present unless `missing` names one.
  void MakeVersion(bool withAssets, const std::string& missing = "") {
    std::string assets = withAssets ? R"("assets":"idx",)" : "";
    test::WriteFile(game_ + "versions/v1/v1.json",
                    R"({"id":"v1",)" + assets +
                        R"("mainClass":"Main","minecraftArguments":"--username ${auth_player_name} --accessToken ${auth_access_token}",)"
                        R"("libraries":[{"name":"a.b:c:1"}]})");
    std::string files[] = {"versions/v1/v1.jar", "libraries/a/b/c/1/c-1.jar"};
    for (const std::string& file : files) {
      if (file != missing) test::WriteFile(game_ + file, "x");
    }
    if (withAssets) {
      test::WriteFile(game_ + "assets/indexes/idx.json",
                      R"({"objects":{"a.ogg":{"hash":"aabbccddeeff00112233445566778899aabbccdd","size":1}}})");
      test::WriteFile(game_ + "assets/objects/aa/aabbccddeeff00112233445566778899aabbccdd", "x");
    }
  }

  // A launch, and the check of its documents that a launch from the game folder leaves behind.
  LaunchResult Run(const std::string& name = "inst", const std::string& version = "v1") {
    LaunchSequence sequence(settings_, Services(), PlatformProfile::Linux());
    LaunchResult result = sequence.Run({name, version, false, std::nullopt}, sink_);
    sequence.WaitForDocumentCheck();
    return result;
  }

  test::TempFolder dir_;
  test::TestEnvironment environment_;
  std::string settings_ = dir_ / "KvCfg.ini";
  std::string game_ = dir_ / ".minecraft/";
  std::vector<std::string> calls_;
  std::string authReply_;
  std::function<void()> onCheck;
  std::string refreshReply_;
  std::string metadata_;
  AgentJarResult agent_{"/launcher/authlib-injector.jar", {}};
  RecordingSink sink_;
};

TEST_F(LaunchSequenceTest, NothingSelectedEndsSilently) {
  EXPECT_EQ(Run("", "").status, LaunchStatus::NoInstance);
  EXPECT_EQ(sink_.events, std::vector<std::string>{"finish"});
  EXPECT_TRUE(calls_.empty());
}

TEST_F(LaunchSequenceTest, AllFilesPresentStartsTheGameWithoutDownloads) {
  MakeVersion(true);
  LaunchResult result = Run();
  ASSERT_EQ(result.status, LaunchStatus::GameEnded);
  EXPECT_EQ(result.exitStatus, 0);
  // The index the local description names is checked together with it.
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "check v1 idx"}));
  EXPECT_EQ(sink_.events,
            (std::vector<std::string>{"finish", "log-show", "log-clear", "hide", "log-hide", "show"}));
  EXPECT_NE(sink_.log.find("--username Player --accessToken {}"), std::string::npos) << sink_.log;
  EXPECT_EQ(test::ReadFile(dir_ / "Instance/inst/options.txt"), "lang:zh_CN");
}

TEST_F(LaunchSequenceTest, TheGamesStartIsTheInstancesLastGameAndTheLogMayStayOpen) {
  MakeVersion(true);
  {
    CInstanceList instances(settings_, false);
    instances.Add({"inst", "v1"});
    ASSERT_TRUE(instances.Save());
  }
  profile::WriteString(settings_, "KvCfg", "IsKeepLog", "true");
  const auto before = std::chrono::system_clock::now() - std::chrono::seconds(1);
  ASSERT_EQ(Run().status, LaunchStatus::GameEnded);
  // The game ended normally and the log window stays for the player to read.
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"finish", "log-show", "log-clear", "hide", "show"}));
  const std::optional<std::int64_t> lastPlayed = CInstanceList(settings_, false).Entries()[0].lastPlayed;
  ASSERT_TRUE(lastPlayed.has_value());
  EXPECT_GE(*lastPlayed, std::chrono::duration_cast<std::chrono::seconds>(before.time_since_epoch()).count());
  EXPECT_LE(*lastPlayed, std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch()).count());
}

TEST_F(LaunchSequenceTest, EachStepIsSaidBeforeItAndACancelStopsAtTheNextStep) {
  MakeVersion(true, "versions/v1/v1.jar");
  profile::WriteString(settings_, "KvCfg", "IsGenuine", "true");
  profile::WriteString(settings_, "KvCfg", "AuthServer", "https://skin.example/api/yggdrasil");
  metadata_ = R"({"meta":{"serverName":"皮肤站"}})";
  authReply_ = R"({"accessToken":"tok123","selectedProfile":{"id":"id1","name":"Steve"}})";
  sink_.cancelAfter = msg::StageCheckingVersion("v1");
  EXPECT_EQ(Run().status, LaunchStatus::Cancelled);
  EXPECT_EQ(sink_.stages, (std::vector<std::string>{msg::kStageSigningIn, msg::kStageFetchingAgent,
                                                    msg::StageCheckingVersion("v1")}));
  // The check under way ended; nothing was fetched after it and nothing is said.
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "sign-in", "agent", "check v1 idx"}));
  EXPECT_EQ(sink_.events, std::vector<std::string>{"finish"});
  EXPECT_FALSE(PathExists(dir_ / "Instance/inst"));

  // An offline player cancelling as the files are checked: nothing is fetched.
  profile::WriteString(settings_, "KvCfg", "IsGenuine", "false");
  sink_ = RecordingSink();
  sink_.cancelAfter = msg::kStageCheckingFiles;
  calls_.clear();
  EXPECT_EQ(Run().status, LaunchStatus::Cancelled);
  EXPECT_EQ(sink_.stages.back(), msg::kStageCheckingFiles);
  EXPECT_EQ(sink_.events, std::vector<std::string>{"finish"});
}

TEST_F(LaunchSequenceTest, ACrashedGameIsReportedWithItsLastLinesAndItsLogFile) {
  MakeVersion(true);
  const std::string java = dir_ / "crashing-java";
  test::WriteFile(java, "#!/bin/sh\necho loading\necho 'java.lang.NoClassDefFoundError: Main' >&2\nexit 1\n");
  ::chmod(java.c_str(), 0755);
  profile::WriteString(settings_, "KvCfg", "JavaPath", java);
  LaunchSequence sequence(settings_, Services(), PlatformProfile::Linux());
  bool runningWhilePlayed = false;
  sink_.onHide = [&] { runningWhilePlayed = sequence.GameRunning(); };
  const LaunchResult result = sequence.Run({"inst", "v1", false, std::nullopt}, sink_);
  ASSERT_EQ(result.status, LaunchStatus::GameEnded);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(runningWhilePlayed);
  EXPECT_FALSE(sequence.GameRunning());
  // The launcher is back before the message; the log window stays open for reading.
  EXPECT_EQ(sink_.events, (std::vector<std::string>{
                              "finish", "log-show", "log-clear", "hide", "show",
                              "message 16 游戏异常退出，退出代码: 1\n最后的输出:\nloading\n"
                              "java.lang.NoClassDefFoundError: Main\n完整的输出保存在: " +
                                  dir_ / "log/game-latest.log"}));
  EXPECT_EQ(test::ReadFile(dir_ / "log/game-latest.log"), "loading\njava.lang.NoClassDefFoundError: Main\n");
}

TEST_F(LaunchSequenceTest, GenuineSignInFailureStopsBeforeAnyFetch) {
  MakeVersion(true);
  profile::WriteString(settings_, "KvCfg", "IsGenuine", "true");
  authReply_ = R"({"error":"ForbiddenOperationException","errorMessage":"Invalid credentials."})";
  EXPECT_EQ(Run().status, LaunchStatus::SignInFailed);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{
                              "finish", "message 48 验证失败!错误:ForbiddenOperationException 错误信息:Invalid credentials."}));
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "sign-in"}));
}

TEST_F(LaunchSequenceTest, GenuineLaunchUsesTheStoredToken) {
  MakeVersion(true);
  profile::WriteString(settings_, "KvCfg", "IsGenuine", "true");
  authReply_ = R"({"accessToken":"tok123","selectedProfile":{"id":"id1","name":"Steve"}})";
  ASSERT_EQ(Run().status, LaunchStatus::GameEnded);
  EXPECT_NE(sink_.log.find("--username Steve --accessToken tok123"), std::string::npos) << sink_.log;
}

TEST_F(LaunchSequenceTest, AnAuthlibInjectorServersPlayersStartWithItsAgentFirst) {
  MakeVersion(true);
  profile::WriteString(settings_, "KvCfg", "IsGenuine", "true");
  profile::WriteString(settings_, "KvCfg", "AuthServer", "https://skin.example/api/yggdrasil");
  profile::WriteString(settings_, "KvCfg", "IsAutoMallocMemory", "false");
  metadata_ = R"({"meta":{"serverName":"皮肤站"}})";
  authReply_ = R"({"accessToken":"tok123","selectedProfile":{"id":"id1","name":"Steve"}})";
  LaunchResult result = Run();
  ASSERT_EQ(result.status, LaunchStatus::GameEnded);
  ASSERT_GE(result.command.size(), 4u);
  EXPECT_EQ(result.command[1], "-javaagent:/launcher/authlib-injector.jar=https://skin.example/api/yggdrasil");
  EXPECT_EQ(result.command[2], "-Dauthlibinjector.yggdrasil.prefetched=" + StandardBase64Encode(metadata_));
  EXPECT_EQ(result.command[3], "-Xms512M");
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "sign-in", "agent", "check v1 idx"}));
}

TEST_F(LaunchSequenceTest, WithoutItsAgentTheGameDoesNotStart) {
  MakeVersion(true);
  profile::WriteString(settings_, "KvCfg", "IsGenuine", "true");
  metadata_ = R"({"meta":{}})";
  authReply_ = R"({"accessToken":"tok123","selectedProfile":{"id":"id1","name":"Steve"}})";
  agent_ = {"", msg::kAgentChecksumMismatch};
  EXPECT_EQ(Run().status, LaunchStatus::AgentUnavailable);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"finish", std::string("message 16 ") + msg::kAgentChecksumMismatch}));
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "sign-in", "agent"}));
}

TEST_F(LaunchSequenceTest, ThePlayerPicksOneOfSeveralProfilesWithTheIndicatorGone) {
  MakeVersion(true);
  profile::WriteString(settings_, "KvCfg", "IsGenuine", "true");
  authReply_ = R"({"accessToken":"tok1","availableProfiles":[{"id":"a","name":"Alex"},{"id":"s","name":"Steve"}]})";
  refreshReply_ = R"({"accessToken":"tok2","selectedProfile":{"id":"s","name":"Steve"}})";
  // No choice, no game.
  EXPECT_EQ(Run().status, LaunchStatus::SignInFailed);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"finish", "choose Alex Steve", "finish",
                                                    std::string("message 48 验证失败!") + msg::kProfileNotChosen}));

  sink_.events.clear();
  calls_.clear();
  sink_.chosen = 1;
  ASSERT_EQ(Run().status, LaunchStatus::GameEnded);
  EXPECT_EQ(std::vector<std::string>(sink_.events.begin(), sink_.events.begin() + 2),
            (std::vector<std::string>{"finish", "choose Alex Steve"}));
  EXPECT_EQ(calls_[2], "refresh");
  EXPECT_NE(sink_.log.find("--username Steve --accessToken tok2"), std::string::npos) << sink_.log;
}

TEST_F(LaunchSequenceTest, UnreadableDocumentsStopWithTheirMessages) {
  EXPECT_EQ(Run().status, LaunchStatus::VersionUnreadable);
  // The message keeps its code, and names the version, its file and the way out.
  const std::string& unreadable = sink_.events.back();
  EXPECT_TRUE(unreadable.starts_with(std::string("message 16 ") + msg::kVersionUnreadable + "\n")) << unreadable;
  EXPECT_NE(unreadable.find("版本 v1 "), std::string::npos) << unreadable;
  EXPECT_NE(unreadable.find("versions/v1/v1.json\n请删除这个文件"), std::string::npos) << unreadable;

  MakeVersion(true);
  test::WriteFile(game_ + "assets/indexes/idx.json", "{ not json");
  sink_.events.clear();
  EXPECT_EQ(Run().status, LaunchStatus::AssetIndexUnreadable);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"finish", std::string("message 16 ") + msg::kAssetIndexUnreadable}));
}

TEST_F(LaunchSequenceTest, AChainThatCannotBeFollowedIsNamed) {
  test::WriteFile(game_ + "versions/v1/v1.json", R"({"id":"v1","inheritsFrom":"v2"})");
  EXPECT_EQ(Run().status, LaunchStatus::VersionUnreadable);
  EXPECT_EQ(sink_.events.back(), "message 16 " + msg::ParentVersionMissing("v2"));
  // The missing parent was asked for like any version.
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "check v1 ", "check v2 "}));
  test::WriteFile(game_ + "versions/v2/v2.json", R"({"id":"v2","inheritsFrom":"v1"})");
  EXPECT_EQ(Run().status, LaunchStatus::VersionUnreadable);
  EXPECT_EQ(sink_.events.back(), "message 16 " + msg::VersionInheritanceCycle("v1"));
}

TEST_F(LaunchSequenceTest, ADescriptionOfAnotherVersionIsRefusedWithBothNamed) {
  // versions/v1/v1.json calls itself v2: read as v2, its client would be fetched over v2's.
  MakeVersion(false);
  test::WriteFile(game_ + "versions/v1/v1.json", R"({"id":"v2","mainClass":"Main","libraries":[{"name":"a.b:c:1"}]})");
  EXPECT_EQ(Run().status, LaunchStatus::VersionUnreadable);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"finish", "message 16 " + msg::VersionIdMismatch("v1", "v2")}));
  EXPECT_FALSE(std::filesystem::exists(game_ + "versions/v2"));
}

TEST_F(LaunchSequenceTest, WithoutAJavaThatFitsNothingIsFetchedAndTheDownloadIsOffered) {
  class OnlyJava8 : public JavaRuntimeSource {
    std::vector<JavaRuntime> Runtimes() const override { return {{"/bin/echo", "1.8.0_392"}}; }
  } java8;
  profile::WriteString(settings_, "KvCfg", "JavaPath", "");
  MakeVersion(true, "versions/v1/v1.jar");
  LaunchServices services = Services();
  services.java = &java8;
  // The version asks for Java 17.
  test::WriteFile(game_ + "versions/v1/v1.json",
                  R"({"id":"v1","assets":"idx","mainClass":"Main","javaVersion":{"majorVersion":17},"libraries":[]})");
  LaunchSequence sequence(settings_, services, PlatformProfile::Linux());
  EXPECT_EQ(sequence.Run({"inst", "v1", false, std::nullopt}, sink_).status, LaunchStatus::JavaMissing);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"finish", "java " + msg::JavaMissing(17, true)}));

  // Without javaVersion it needs Java 8, which is there.
  test::WriteFile(game_ + "versions/v1/v1.json", R"({"id":"v1","assets":"idx","mainClass":"Main","libraries":[]})");
  sink_.events.clear();
  EXPECT_EQ(sequence.Run({"inst", "v1", true, std::nullopt}, sink_).status, LaunchStatus::Prepared);
  EXPECT_EQ(sequence.Java().path, "/bin/echo");
}

TEST_F(LaunchSequenceTest, AVersionWithoutAssetIndexFetchesNone) {
  MakeVersion(false);
  LaunchSequence sequence(settings_, Services(), PlatformProfile::Linux());
  ASSERT_EQ(sequence.Run({"inst", "v1", true, std::nullopt}, sink_).status, LaunchStatus::Prepared);
  sequence.WaitForDocumentCheck();
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "check v1 "}));
  EXPECT_TRUE(sequence.Assets().objects.empty());
}

TEST_F(LaunchSequenceTest, AnIndexThatTheFetchedDescriptionNamesAnewIsCheckedAfterIt) {
  // A file is missing: the documents are checked before anything is fetched.
  MakeVersion(true, "versions/v1/v1.jar");
  test::WriteFile(game_ + "assets/indexes/idx2.json", R"({"objects":{}})");
  // The check brings a description that names another index.
  onCheck = [this] {
    std::string description = test::ReadFile(game_ + "versions/v1/v1.json");
    description.replace(description.find("\"idx\""), 5, "\"idx2\"");
    test::WriteFile(game_ + "versions/v1/v1.json", description);
  };
  LaunchSequence sequence(settings_, Services(), PlatformProfile::Linux());
  ASSERT_EQ(sequence.Run({"inst", "v1", true, std::nullopt}, sink_).status, LaunchStatus::Prepared);
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "check v1 idx", "check-index idx2"}));
  EXPECT_TRUE(sequence.Assets().objects.empty());

  // Without a local description there is no index to check along with it.
  std::filesystem::remove(game_ + "versions/v1/v1.json");
  onCheck = [this] { MakeVersion(true); };
  calls_.clear();
  ASSERT_EQ(sequence.Run({"inst", "v1", true, std::nullopt}, sink_).status, LaunchStatus::Prepared);
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "check v1 ", "check-index idx"}));
  EXPECT_EQ(sequence.Assets().objects.size(), 1u);
}

TEST_F(LaunchSequenceTest, WithEveryFilePresentTheGameStartsBeforeTheDocumentsAreChecked) {
  MakeVersion(true);
  std::mutex mutex;
  std::condition_variable started;
  bool gameStarted = false;
  bool checkedAfterTheStart = false;
  sink_.onHide = [&] {
    std::lock_guard lock(mutex);
    gameStarted = true;
    started.notify_all();
  };
  onCheck = [&] {
    std::unique_lock lock(mutex);
    checkedAfterTheStart = started.wait_for(lock, std::chrono::seconds(30), [&] { return gameStarted; });
  };
  ASSERT_EQ(Run().status, LaunchStatus::GameEnded);
  EXPECT_TRUE(checkedAfterTheStart);
  EXPECT_EQ(calls_, (std::vector<std::string>{"stats LaunchGame", "check v1 idx"}));
  // Nothing was missing, so nothing was fetched.
  EXPECT_EQ(std::count(sink_.events.begin(), sink_.events.end(), "downloads 1"), 0);
}

TEST_F(LaunchSequenceTest, ADocumentTheCheckBringsCountsFromTheNextLaunch) {
  MakeVersion(true);
  const std::string newer =
      R"({"id":"v1","assets":"idx","mainClass":"NewMain","minecraftArguments":"","libraries":[{"name":"a.b:c:1"}]})";
  const std::string newerIndex = R"({"objects":{}})";
  const std::string list = R"({"versions":[{"id":"v1","type":"release"}]})";
  LaunchServices services = Services();
  // The checks see copies of the documents, and change those.
  services.metadata.both = [&](const DownloadSource&, const std::string& gamePath, const std::string& id,
                               const VersionDescription*) {
    test::WriteFile(VersionJsonPath(gamePath, id), newer);
    test::WriteFile(AssetIndexPath(gamePath, "idx"), newerIndex);
    test::WriteFile(VersionListPath(gamePath), list);
  };
  LaunchSequence sequence(settings_, services, PlatformProfile::Linux());
  LaunchResult first = sequence.Run({"inst", "v1", true, std::nullopt}, sink_);
  ASSERT_EQ(first.status, LaunchStatus::Prepared);
  EXPECT_EQ(std::count(first.command.begin(), first.command.end(), "Main"), 1);
  sequence.WaitForDocumentCheck();
  EXPECT_EQ(test::ReadFile(game_ + "versions/v1/v1.json"), newer);
  EXPECT_EQ(test::ReadFile(game_ + "assets/indexes/idx.json"), newerIndex);
  EXPECT_EQ(test::ReadFile(game_ + "versions/versions.json"), list);

  LaunchResult second = sequence.Run({"inst", "v1", true, std::nullopt}, sink_);
  ASSERT_EQ(second.status, LaunchStatus::Prepared);
  EXPECT_EQ(std::count(second.command.begin(), second.command.end(), "NewMain"), 1);
  EXPECT_TRUE(sequence.Assets().objects.empty());
}

TEST_F(LaunchSequenceTest, WhatTheCheckBringsReplacesNothingUnlessItIsSuchADocument) {
  MakeVersion(true);
  const std::string description = test::ReadFile(game_ + "versions/v1/v1.json");
  const std::string index = test::ReadFile(game_ + "assets/indexes/idx.json");
  std::string answer;
  LaunchServices services = Services();
  services.metadata.both = [&](const DownloadSource&, const std::string& gamePath, const std::string& id,
                               const VersionDescription*) {
    for (const std::string& path : {VersionJsonPath(gamePath, id), AssetIndexPath(gamePath, "idx"),
                                    VersionListPath(gamePath)}) {
      test::WriteFile(path, answer);
    }
  };
  LaunchSequence sequence(settings_, services, PlatformProfile::Linux());
  for (const char* page : {"<html>Sign in to the network</html>", R"({"error":"portal"})",
                           R"({"id":"v2","versions":[],"mainClass":"Other"})"}) {
    answer = page;
    ASSERT_EQ(sequence.Run({"inst", "v1", true, std::nullopt}, sink_).status, LaunchStatus::Prepared) << page;
    sequence.WaitForDocumentCheck();
    EXPECT_EQ(test::ReadFile(game_ + "versions/v1/v1.json"), description) << page;
    EXPECT_EQ(test::ReadFile(game_ + "assets/indexes/idx.json"), index) << page;
    EXPECT_FALSE(PathExists(game_ + "versions/versions.json")) << page;
  }
}

TEST_F(LaunchSequenceTest, CancelledDownloadsEndSilently) {
  MakeVersion(true, "versions/v1/v1.jar");
  sink_.downloadResult = DownloadResult::Cancelled;
  EXPECT_EQ(Run().status, LaunchStatus::DownloadsCancelled);
  EXPECT_EQ(sink_.events, (std::vector<std::string>{"finish", "downloads 1", "finish"}));
  EXPECT_FALSE(PathExists(dir_ / "Instance/inst"));
}

TEST_F(LaunchSequenceTest, ASecondLaunchWhileOneRunsIsRefused) {
  MakeVersion(true, "versions/v1/v1.jar");
  LaunchStatus inner = LaunchStatus::GameEnded;
  sink_.onDownloads = [&] {
    RecordingSink other;
    LaunchSequence second(settings_, Services(), PlatformProfile::Linux());
    inner = second.Run({"inst", "v1", false, std::nullopt}, other).status;
    return DownloadResult::Cancelled;
  };
  Run();
  EXPECT_EQ(inner, LaunchStatus::AlreadyRunning);
  EXPECT_FALSE(LaunchSequence::IsRunning());
}

TEST_F(LaunchSequenceTest, AHandEditedNameCannotMoveTheGameFolder) {
  MakeVersion(true);
  EXPECT_EQ(Run("../escaped").status, LaunchStatus::InstanceFolderRefused);
  EXPECT_FALSE(PathExists(dir_ / "escaped"));
}

TEST_F(LaunchSequenceTest, AGameFolderThatWouldSplitTheClassPathIsNamed) {
  const std::string game = dir_ / "h:17/.minecraft/";
  profile::WriteString(settings_, "KvCfg", "GamePath", game);
  game_ = game;
  MakeVersion(true);
  EXPECT_EQ(Run().status, LaunchStatus::GameFolderRefused);
  EXPECT_EQ(sink_.events.back(), "message 16 " + msg::GameFolderSplitsClassPath(game));
}

}  // namespace
}  // namespace kv
