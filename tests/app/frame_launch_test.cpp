// Whole launches from the start button against korvane-mirror and the demo game of
// tools/demo, which prints its arguments and ends at once; genuine players sign in at local
// HTTPS account servers.
#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "auth/stored_credentials.h"
#include "dialogs/log_wnd.h"
#include "tests/app/frame_harness.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/agent_server.h"
#include "tests/support/auth_server.h"
#include "tests/support/fixtures.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/list.h"
#include "uilib/ui_cast.h"
#include "util/base64.h"
#include "util/digest.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

// What the player saw of one launch.
struct LaunchView {
  bool downloadWindowSeen = false;
  QString lastFileIndex;
  int frameHidden = 0;
  int frameShown = 0;
};

class FrameLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
    ASSERT_TRUE(PathExists(test::DemoMirrorRoot() + "/versions/demo-1.0/demo-1.0.json"));
  }

  void ServeDemo(const std::vector<std::string>& options = {}) {
    mirror_ = std::make_unique<test::MirrorProcess>(test::DemoMirrorRoot(), options);
    ASSERT_TRUE(mirror_->Started());
    ::setenv("KORVANE_MIRROR", mirror_->BaseUrl().c_str(), 1);
    ::setenv("KORVANE_SOURCE", "mirror", 1);
  }

  // Presses the start button and waits for the launch to end; `duringDownload` runs while
  // the download window is open.
  LaunchView Launch(const std::function<void(CWindowWnd&)>& duringDownload = {}) {
    LaunchView view;
    CFrameWnd& frame = harness_.Frame();
    test::VisibilityLog visibility(frame.GetHWND());
    test::Watcher watcher([&] {
      CWindowWnd* window = test::FindOpenWindow(QStringLiteral("KvDownLoadWnd"));
      if (!window) return;
      view.downloadWindowSeen = true;
      view.lastFileIndex = test::TextOf(window, "LB_FileIndex");
      if (duringDownload) duringDownload(*window);
    });
    harness_.Click("Btn_StartGame");
    EXPECT_TRUE(test::PumpUntil([&] { return !frame.IsLaunching(); }, 60000));
    test::Pump(30);
    view.frameHidden = visibility.Hidden();
    view.frameShown = visibility.Shown();
    return view;
  }

  QString LogText() { return harness_.Frame().LogWindow()->Text(); }

  // The demo instance of a genuine player whose account is at `server`, with the game's
  // output in the log window.
  void GenuinePlayerAt(const test::AuthServer& server) {
    ServeDemo();
    harness_.AddInstance("演示", "demo-1.0");
    harness_.SetSetting("IsShowCmd", "true");
    harness_.SetSetting("IsGenuine", "true");
    harness_.SetSetting("UserName", EncodeSettingsText("steve@example.com"));
    harness_.SetSetting("PWD", EncodeSettingsText("right password"));
    harness_.SetSetting("AuthServer", server.BaseUrl());
  }

  StoredCredentials Stored() {
    StoredCredentials credentials;
    InitStoredCredentials(credentials, harness_.SettingsPath());
    LoadStoredCredentials(credentials);
    return credentials;
  }

  test::FrameHarness harness_;
  std::unique_ptr<test::MirrorProcess> mirror_;
  // Nothing beyond this machine: the account servers and the agent's distribution are the
  // tests' own.
  test::ScopedEnvironment bundle_{"KORVANE_CA_BUNDLE", test::FixturePath("tls/ca.pem")};
  test::ScopedEnvironment authServer_{"KORVANE_AUTH_SERVER", std::nullopt};
  test::ScopedEnvironment agentIndex_{"KORVANE_AUTHLIB_INJECTOR_URL", "https://127.0.0.1:9"};
};

TEST_F(FrameLaunch, AWholeLaunchDownloadsRunsTheGameAndShowsItsOutput) {
  // Each answer a little late, so that the test sees the window.
  ServeDemo({"--delay", "30"});
  harness_.AddInstance("演示", "demo-1.0");
  harness_.SetSetting("IsShowCmd", "true");
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");

  LaunchView first = Launch();
  EXPECT_TRUE(first.downloadWindowSeen);
  EXPECT_TRUE(first.lastFileIndex.endsWith(QStringLiteral("/9)"))) << first.lastFileIndex.toStdString();
  EXPECT_EQ(test::FindOpenWindow(QStringLiteral("KvDownLoadWnd")), nullptr);
  EXPECT_GE(first.frameHidden, 1);
  EXPECT_GE(first.frameShown, 1);
  EXPECT_TRUE(frame.GetHWND()->isVisible());
  EXPECT_TRUE(answerer.Texts().empty());
  const QString output = LogText();
  EXPECT_TRUE(output.startsWith(QStringLiteral("args="))) << output.toStdString();
  EXPECT_NE(output.indexOf(QStringLiteral("/Instance/演示")), -1) << output.toStdString();
  EXPECT_NE(output.indexOf(QStringLiteral("native=linux natives unpacked\n")), -1) << output.toStdString();
  EXPECT_NE(output.indexOf(QStringLiteral("stderr: the game says hello\n")), -1) << output.toStdString();
  // The log window goes with the game; its text stays.
  EXPECT_FALSE(frame.LogWindow()->GetHWND()->isVisible());
  EXPECT_EQ(test::ReadFile(harness_.Home() / "Instance/演示/options.txt"), "lang:zh_CN");
  // The card tells of the game just played.
  CControlUI* lastPlayed = harness_.Find("LB_LastPlayed");
  EXPECT_TRUE(test::PumpUntil([&] { return lastPlayed->GetText().startsWith(QStringLiteral("今天 ")); }))
      << lastPlayed->GetText().toStdString();

  frame.LogWindow()->ShowWindow(true, false);
  test::Pump(50);
  test::SaveScreenshot(frame.LogWindow()->GetHWND(), QStringLiteral("log_window"));
  frame.LogWindow()->ShowWindow(false);

  // Everything is in place now: no download window, and the log starts empty again.
  LaunchView second = Launch();
  EXPECT_FALSE(second.downloadWindowSeen);
  EXPECT_GE(second.frameShown, 1);
  EXPECT_EQ(LogText().count(QStringLiteral("args=")), 1) << LogText().toStdString();
}

TEST_F(FrameLaunch, ACrashedGameLeavesItsMessageItsLogWindowAndItsOutputFile) {
  ServeDemo();
  ::setenv("KORVANE_TEST_EXIT", "1", 1);
  harness_.AddInstance("演示", "demo-1.0");
  harness_.SetSetting("IsShowCmd", "true");
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  Launch();
  ::unsetenv("KORVANE_TEST_EXIT");
  ASSERT_EQ(answerer.Texts().size(), 1u);
  const QString text = answerer.Texts()[0];
  EXPECT_TRUE(text.startsWith(QStringLiteral("游戏异常退出，退出代码: 1\n最后的输出:\n"))) << text.toStdString();
  EXPECT_NE(text.indexOf(QStringLiteral("stderr: the game says hello")), -1) << text.toStdString();
  EXPECT_TRUE(text.endsWith(QString::fromStdString(harness_.Home() / "log/game-latest.log"))) << text.toStdString();
  EXPECT_TRUE(frame.GetHWND()->isVisible());
  EXPECT_TRUE(frame.LogWindow()->GetHWND()->isVisible());
  EXPECT_TRUE(test::ReadFile(harness_.Home() / "log/game-latest.log").starts_with("args="));
}

// The launcher hides while the game plays; a player who finds it all the same (the window
// manager may bring it back) is told why the start button starts nothing. Minimised and
// restored by the player before, the launcher comes back restored and in front.
TEST_F(FrameLaunch, TheStartButtonDuringAGameSaysItRunsAndTheLauncherReturnsRestored) {
  ServeDemo();
  ::setenv("KORVANE_DEMO_SECONDS", "2", 1);
  harness_.AddInstance("演示", "demo-1.0");
  CFrameWnd& frame = harness_.Open();
  QWidget* widget = frame.GetHWND();
  harness_.Click("Btn_Min");
  ASSERT_TRUE(test::PumpUntil([&] { return widget->isMinimized(); }));
  widget->showNormal();
  test::Pump(20);

  test::MessageAnswerer answerer("okbtn");
  test::VisibilityLog visibility(widget);
  bool pressed = false;
  test::Watcher presser([&] {
    if (pressed || visibility.Hidden() == 0 || widget->isVisible()) return;
    pressed = true;
    QTimer::singleShot(0, [&] {
      frame.ShowWindow(true);
      test::Pump(20);
      harness_.Click("Btn_StartGame");
    });
  });
  Launch();
  ::unsetenv("KORVANE_DEMO_SECONDS");
  ASSERT_TRUE(pressed);
  ASSERT_EQ(answerer.Texts().size(), 1u);
  EXPECT_EQ(answerer.Texts()[0], QStringLiteral("游戏正在运行，请先退出游戏再启动"));
  EXPECT_TRUE(widget->isVisible());
  EXPECT_FALSE(widget->isMinimized());
  EXPECT_TRUE(widget->isActiveWindow());
}

TEST_F(FrameLaunch, WithIsKeepLogTheLogWindowStaysAfterANormalEnd) {
  ServeDemo();
  harness_.AddInstance("演示", "demo-1.0");
  harness_.SetSetting("IsShowCmd", "true");
  harness_.SetSetting("IsKeepLog", "true");
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  Launch();
  EXPECT_TRUE(answerer.Texts().empty());
  EXPECT_TRUE(frame.GetHWND()->isVisible());
  EXPECT_TRUE(frame.LogWindow()->GetHWND()->isVisible());
  EXPECT_NE(LogText().indexOf(QStringLiteral("stderr: the game says hello")), -1) << LogText().toStdString();
}

// Each step of the launch that may wait for the mirror is said, and the launch can be stopped
// before the download window opens.
TEST_F(FrameLaunch, TheIndicatorSaysEachStepAndItsCancelStopsTheLaunch) {
  // Slow answers: the description's step lasts long enough to be seen and cancelled.
  ServeDemo({"--delay", "400"});
  harness_.AddInstance("演示", "demo-1.0");
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  bool cancelled = false;
  QString afterCancel;
  test::Watcher watcher([&] {
    CWindowWnd* indicator = test::FindOpenWindow(QStringLiteral("LoadingWnd"));
    if (!indicator || cancelled) return;
    if (test::TextOf(indicator, "LB_Stage") != QString::fromStdString(msg::StageCheckingVersion("demo-1.0"))) return;
    cancelled = true;
    test::SaveScreenshot(frame.GetHWND(), {indicator->GetHWND()}, QStringLiteral("launch_indicator"));
    test::ClickControlOf(indicator, "Btn_Cancel");
    afterCancel = test::TextOf(indicator, "LB_Stage");
  });
  LaunchView view = Launch();
  ASSERT_TRUE(cancelled);
  EXPECT_EQ(afterCancel, QString::fromUtf8(msg::kStageCancelling));
  // Stopped before any file or game: no window, no message, the launcher as it was.
  EXPECT_FALSE(view.downloadWindowSeen);
  EXPECT_EQ(view.frameHidden, 0);
  EXPECT_TRUE(answerer.Texts().empty());
  EXPECT_TRUE(frame.GetHWND()->isVisible());
  EXPECT_FALSE(PathExists(harness_.Home() / "Instance/演示/options.txt"));
  EXPECT_EQ(mirror_->CountRequests("GET", "/libs/org/korvane/plain/1.0/plain-1.0.jar"), 0);
}

TEST_F(FrameLaunch, WithoutIsShowCmdTheOutputIsNotShown) {
  ServeDemo();
  harness_.AddInstance("演示", "demo-1.0");
  CFrameWnd& frame = harness_.Open();
  test::VisibilityLog logVisibility(frame.LogWindow()->GetHWND());
  LaunchView view = Launch();
  EXPECT_GE(view.frameShown, 1);
  EXPECT_EQ(logVisibility.Shown(), 0);
  EXPECT_TRUE(LogText().isEmpty());
}

TEST_F(FrameLaunch, CancellingTheDownloadEndsSilentlyAndTheNextStartResumes) {
  // Slow enough to press the cancel button while the two larger jars arrive (the asset objects
  // and the natives jar are in place by then).
  ServeDemo({"--delay", "150", "--rate", "1000"});
  harness_.AddInstance("演示", "demo-1.0");
  harness_.SetSetting("IsShowCmd", "true");
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");

  bool pictured = false;
  bool cancelled = false;
  LaunchView first = Launch([&](CWindowWnd& window) {
    if (cancelled || test::TextOf(&window, "LB_FileIndex") != QStringLiteral("(7/9)")) return;
    if (!pictured && test::TextOf(&window, "LB_DownLoadSpeed") != QStringLiteral("下载速度:")) {
      pictured = true;
      test::SaveScreenshot(window.GetHWND(), QStringLiteral("download_window"));
    }
    if (!pictured) return;
    cancelled = true;
    test::ClickControlOf(&window, "Btn_Cancel");
  });
  ASSERT_TRUE(cancelled);
  EXPECT_EQ(first.frameHidden, 0);
  EXPECT_TRUE(answerer.Texts().empty());
  EXPECT_TRUE(LogText().isEmpty());
  EXPECT_TRUE(frame.GetHWND()->isVisible());
  EXPECT_FALSE(PathExists(harness_.Home() / "Instance/演示/options.txt"));

  LaunchView second = Launch();
  EXPECT_TRUE(second.downloadWindowSeen);
  EXPECT_NE(LogText().indexOf(QStringLiteral("stderr: the game says hello")), -1) << LogText().toStdString();
  // The files that had arrived were not fetched again; the parts of the others were continued.
  EXPECT_EQ(mirror_->CountRequests("GET", "/objects/0c/0cdf11b9127f705b81c5e4470d04cc8e77c8761a"), 1);
  EXPECT_EQ(mirror_->CountRequests("GET", "/libs/org/korvane/natives/1.0/natives-1.0-natives-linux.jar"), 1);
  EXPECT_EQ(mirror_->CountRequests("GET", "/libs/org/korvane/plain/1.0/plain-1.0.jar"), 2);
  EXPECT_NE(mirror_->Log().find("GET /libs/org/korvane/plain/1.0/plain-1.0.jar bytes="), std::string::npos)
      << mirror_->Log();
}

TEST_F(FrameLaunch, AVersionThatDoesNotExistGivesTheLoadVersionObjMessage) {
  ServeDemo();
  harness_.AddInstance("坏的", "no-such-1.0");
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  LaunchView view = Launch();
  ASSERT_EQ(answerer.Texts().size(), 1u);
  EXPECT_TRUE(answerer.Texts()[0].startsWith(QStringLiteral("错误信息：获取启动参数失败\n错误代码:ERROR_LoadVersionObj\n")))
      << answerer.Texts()[0].toStdString();
  EXPECT_TRUE(answerer.Texts()[0].contains(QStringLiteral("版本 no-such-1.0 "))) << answerer.Texts()[0].toStdString();
  EXPECT_EQ(answerer.Captions()[0], QStringLiteral("提示"));
  EXPECT_FALSE(view.downloadWindowSeen);
  EXPECT_EQ(view.frameHidden, 0);
  EXPECT_TRUE(frame.GetHWND()->isVisible());
}

TEST_F(FrameLaunch, AnAuthlibInjectorPlayerStartsWithTheVerifiedAgentAndLaterWithoutThePassword) {
  test::AuthServer::Options options;
  options.kind = test::AuthServer::Kind::AuthlibInjector;
  options.homeLocation = test::AuthServer::Location::Relative;
  test::AuthServer server("steve@example.com", "right password", options);
  test::AgentServer agent(test::ReadFile(KORVANE_TEST_AGENT_JAR), Sha256HexOfFile(KORVANE_TEST_AGENT_JAR).value_or(""));
  test::ScopedEnvironment agentIndex("KORVANE_AUTHLIB_INJECTOR_URL", agent.BaseUrl());
  GenuinePlayerAt(server);
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  EXPECT_EQ(harness_.Find("LB_ServerName")->GetText(), QString());

  const QString agentLines = QString::fromStdString("agent.argument=" + server.ApiRoot() + "\nagent.prefetched=" +
                                                    StandardBase64Encode(server.Metadata()) + "\n");
  for (int launch = 1; launch <= 2; ++launch) {
    Launch();
    EXPECT_TRUE(answerer.Texts().empty()) << answerer.Texts().front().toStdString();
    // The real JVM ran the agent before the game.
    EXPECT_TRUE(LogText().startsWith(agentLines + QStringLiteral("args="))) << LogText().toStdString();
    EXPECT_NE(LogText().indexOf(QStringLiteral("=--username\narg[1]=Steve\n")), -1) << LogText().toStdString();
    EXPECT_NE(LogText().indexOf(QStringLiteral("=") + QString::fromLatin1(test::AuthServer::kAccessToken)), -1);
  }
  EXPECT_EQ(server.PasswordRequests(), 1);
  EXPECT_EQ(agent.JarRequests(), 1);
  EXPECT_EQ(agent.IndexRequests(), 1);
  // The account's server is named beside the player.
  EXPECT_TRUE(test::PumpUntil([&] {
    return harness_.Find("LB_ServerName")->GetText() == QString::fromUtf8(test::AuthServer::kServerName);
  }));
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("frame_account_server"));
}

TEST_F(FrameLaunch, ThePlayerPicksOneOfSeveralProfilesFromAList) {
  test::AuthServer::Options options;
  options.profiles = {{"a1", "Alex"}, {"s1", "Steve"}};
  test::AuthServer server("steve@example.com", "right password", options);
  GenuinePlayerAt(server);
  harness_.Open();
  bool chosen = false;
  test::Watcher chooser([&] {
    CWindowWnd* window = test::FindOpenWindow(QStringLiteral("KvProfileChoiceWnd"));
    if (!window || chosen) return;
    chosen = true;
    test::Pump(30);
    test::SaveScreenshot(window->GetHWND(), QStringLiteral("frame_profile_choice"));
    auto* list = ui_cast<CListUI>(test::ControlOf(window, "List_Profiles"));
    test::Click(*window, list->GetItemAt(1));
    test::ClickControlOf(window, "Btn_Ok");
  });
  Launch();
  ASSERT_TRUE(chosen);
  EXPECT_NE(LogText().indexOf(QStringLiteral("=--username\narg[1]=Steve\n")), -1) << LogText().toStdString();
  EXPECT_EQ(Stored().profileId, "s1");
}

// The player may quit while a game still runs: the entry point then deletes the window, which
// waits for the launch to end. Meanwhile it still serves the launch's calls that wait for the
// GUI thread, such as showing the window again when the game has ended.
TEST_F(FrameLaunch, QuittingDuringAGameWaitsForItsEndAndServesItsLastCalls) {
  ServeDemo();
  ::setenv("KORVANE_DEMO_SECONDS", "2", 1);
  harness_.AddInstance("演示", "demo-1.0");
  harness_.SetSetting("IsShowCmd", "true");
  CFrameWnd& frame = harness_.Open();
  test::VisibilityLog visibility(frame.GetHWND());
  bool quit = false;
  test::Watcher quitter([&] {
    // The window hides while the game plays.
    if (quit || visibility.Hidden() == 0) return;
    quit = true;
    PostQuitMessage(0);
  });
  QTimer::singleShot(0, [&] { harness_.Click("Btn_StartGame"); });
  frame.ShowModal();
  ::unsetenv("KORVANE_DEMO_SECONDS");
  ASSERT_TRUE(quit);
  ASSERT_TRUE(frame.IsLaunching());
  const int shown = visibility.Shown();
  harness_.DeleteFrame();
  EXPECT_GT(visibility.Shown(), shown);
}

}  // namespace
}  // namespace kv
