// The launcher window on its own: tiles, account display, title bar, the Java prompt, the
// update offer and a start-up that does not wait for the network.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDropEvent>
#include <QEventLoop>
#include <QMimeData>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <thread>

#include "app/instance_tiles.h"
#include "dialogs/loading_wnd.h"
#include "dialogs/log_wnd.h"
#include "dialogs/window_messages.h"
#include "net/update_check.h"
#include "tests/app/frame_harness.h"
#include "platform/profile_store.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/container.h"
#include "uilib/ui_cast.h"
#include "util/base64.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

COptionUI* TileAt(CFrameWnd& frame, int index) {
  CControlUI* item = frame.InstanceTiles()->GetItemAt(index);
  return ui_cast<COptionUI>(item);
}

class FrameWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }
  test::FrameHarness harness_;
};

TEST_F(FrameWindow, TwoInstancesGiveTwoTilesTheAddTileLastAndTheFirstSelected) {
  harness_.AddInstance("生存", "demo-1.0");
  harness_.AddInstance("创造 2", "1.12.2");
  CFrameWnd& frame = harness_.Open();
  CContainerUI* tiles = frame.InstanceTiles();
  ASSERT_EQ(tiles->GetCount(), 3);
  EXPECT_EQ(tiles->GetItemAt(0)->GetName(), QStringLiteral("生存"));
  EXPECT_EQ(tiles->GetItemAt(1)->GetName(), QStringLiteral("创造 2"));
  EXPECT_EQ(tiles->GetItemAt(1)->GetText(), QStringLiteral("创造 2"));
  EXPECT_EQ(tiles->GetItemAt(1)->GetToolTip(), QStringLiteral("创造 2\n版本：1.12.2"));
  EXPECT_EQ(tiles->GetItemAt(2), FindAddTile(*tiles));
  EXPECT_EQ(tiles->GetItemAt(2)->GetToolTip(), QStringLiteral("添加游戏实例"));
  ASSERT_NE(TileAt(frame, 0), nullptr);
  EXPECT_TRUE(TileAt(frame, 0)->IsSelected());
  EXPECT_FALSE(TileAt(frame, 1)->IsSelected());
  EXPECT_EQ(frame.SelectedInstanceName(), "生存");
  EXPECT_EQ(frame.SelectedInstanceVersion(), "demo-1.0");
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("frame_game_page"));

  // A click on the second tile moves the selection; a second click changes nothing.
  test::Click(frame, tiles->GetItemAt(1));
  test::Click(frame, tiles->GetItemAt(1));
  EXPECT_TRUE(TileAt(frame, 1)->IsSelected());
  EXPECT_FALSE(TileAt(frame, 0)->IsSelected());
  EXPECT_EQ(frame.SelectedInstanceName(), "创造 2");
  EXPECT_EQ(frame.SelectedInstanceVersion(), "1.12.2");
}

TEST_F(FrameWindow, WithoutInstancesOnlyTheAddTileAndNothingSelected) {
  CFrameWnd& frame = harness_.Open();
  ASSERT_EQ(frame.InstanceTiles()->GetCount(), 1);
  EXPECT_EQ(frame.InstanceTiles()->GetItemAt(0)->GetName(), QStringLiteral("AddInstanceBtn"));
  EXPECT_TRUE(frame.SelectedInstanceName().empty());
  EXPECT_TRUE(frame.SelectedInstanceVersion().empty());
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("frame_without_tiles"));

  // The start button tells the player what to do first and starts nothing.
  test::MessageAnswerer answerer("okbtn");
  harness_.Click("Btn_StartGame");
  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
  EXPECT_EQ(answerer.Texts()[0], QString::fromUtf8(msg::kNoInstanceSelected));
  EXPECT_FALSE(frame.IsLaunching());
  EXPECT_TRUE(frame.GetHWND()->isVisible());
}

TEST_F(FrameWindow, AnInstanceNamedLikeTheAddTileKeepsItsTile) {
  harness_.AddInstance("AddInstanceBtn", "demo-1.0");
  CFrameWnd& frame = harness_.Open();
  frame.AppendAddTile();
  test::Pump(10);
  ASSERT_EQ(frame.InstanceTiles()->GetCount(), 2);
  EXPECT_NE(TileAt(frame, 0), nullptr);
  EXPECT_EQ(frame.InstanceTiles()->GetItemAt(1), FindAddTile(*frame.InstanceTiles()));
}

TEST_F(FrameWindow, TheAccountIconFollowsIsGenuineExactly) {
  const struct {
    const char* value;
    bool online;
  } cases[] = {{"true", true}, {"True", false}, {"false", false}, {"true ", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    // Written by hand: the file's own line, whose value a read trims.
    test::WriteFile(harness_.SettingsPath(), "[KvCfg]\r\nUserName=" + EncodeSettingsText("史蒂夫") +
                                                 "\r\nIsGenuine=" + c.value + "\r\n");
    harness_.Open();
    CControlUI* status = harness_.Find("Btn_Login_Status");
    EXPECT_EQ(status->GetBkImage(), c.online ? QStringLiteral("image\\Menu_Online.png") : QStringLiteral("image\\Menu_Offline.png"));
    EXPECT_EQ(status->GetToolTip(), c.online ? QStringLiteral("在线状态") : QStringLiteral("离线状态"));
    EXPECT_EQ(harness_.Find("LB_UserName")->GetText(), QStringLiteral("史蒂夫"));
    harness_.Close();
  }
}

TEST_F(FrameWindow, ADroppedServerLinkBecomesTheAccountServer) {
  test::ScopedEnvironment noOverride("KORVANE_AUTH_SERVER", std::nullopt);
  // A genuine player signed in at a server with a name, which the window shows.
  harness_.SetSetting("IsGenuine", "true");
  harness_.SetSetting("AuthServer", "https://skin.example");
  harness_.SetSetting("UserName", EncodeSettingsText("steve@example.com"));
  harness_.SetSetting("PWD", EncodeSettingsText("right password"));
  profile::WriteString(harness_.SettingsPath(), "AuthCfg", "AccessToken", EncodeSettingsText("token"));
  profile::WriteString(harness_.SettingsPath(), "AuthCfg", "TokenServer", EncodeSettingsText("https://skin.example"));
  profile::WriteString(harness_.SettingsPath(), "AuthCfg", "ServerName", EncodeSettingsText("示例皮肤站"));
  CFrameWnd& frame = harness_.Open();
  EXPECT_EQ(harness_.Find("LB_ServerName")->GetText(), QStringLiteral("示例皮肤站"));
  test::MessageAnswerer answerer("okbtn");

  // Whether the window took the text, as a drag from a page brings it.
  const auto drop = [&frame](const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPoint at = frame.GetHWND()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.GetHWND(), &enter);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.GetHWND(), &dropped);
    test::Pump(20);
    return enter.isAccepted() && dropped.isAccepted();
  };
  EXPECT_FALSE(drop(QStringLiteral("https://littleskin.cn/api/yggdrasil")));
  EXPECT_FALSE(drop(QStringLiteral("authlib-injector:yggdrasil-server:file%3A%2F%2F%2Fetc%2Fpasswd")));
  EXPECT_TRUE(answerer.Texts().empty());
  EXPECT_EQ(profile::GetString(harness_.SettingsPath(), "KvCfg", "AuthServer", ""), "https://skin.example");

  EXPECT_TRUE(drop(QStringLiteral("authlib-injector:yggdrasil-server:https%3A%2F%2Flittleskin.cn%2Fapi%2Fyggdrasil")));
  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
  EXPECT_EQ(answerer.Texts()[0], QStringLiteral("账户服务器已设为 https://littleskin.cn/api/yggdrasil\n") +
                                    QString::fromUtf8(msg::kAccountClearedForNewServer));
  EXPECT_EQ(profile::GetString(harness_.SettingsPath(), "KvCfg", "AuthServer", ""), "https://littleskin.cn/api/yggdrasil");
  // The sign-in shown was at the other server; its name, password and token went with it.
  EXPECT_EQ(harness_.Find("LB_ServerName")->GetText(), QString());
  EXPECT_EQ(harness_.Find("LB_UserName")->GetText(), QStringLiteral("Player"));
  EXPECT_EQ(profile::GetString(harness_.SettingsPath(), "KvCfg", "PWD", "<none>"), "");
  EXPECT_EQ(profile::GetString(harness_.SettingsPath(), "AuthCfg", "AccessToken", "<none>"), "<none>");
}

TEST_F(FrameWindow, MaximiseAndRestoreSwapTheirButtonsAndTheTabsSwitchPages) {
  CFrameWnd& frame = harness_.Open();
  harness_.Click("Btn_Max");
  EXPECT_TRUE(test::PumpUntil([&] { return frame.IsMaximized(); }));
  test::Pump(20);
  EXPECT_FALSE(harness_.Find("Btn_Max")->IsVisible());
  EXPECT_TRUE(harness_.Find("Btn_Restore")->IsVisible());
  harness_.Click("Btn_Restore");
  EXPECT_TRUE(test::PumpUntil([&] { return !frame.IsMaximized(); }));
  test::Pump(20);
  EXPECT_TRUE(harness_.Find("Btn_Max")->IsVisible());
  EXPECT_FALSE(harness_.Find("Btn_Restore")->IsVisible());

  // The system command (a caption double click sends the same) swaps them too.
  frame.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return !harness_.Find("Btn_Max")->IsVisible(); }));
  frame.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return harness_.Find("Btn_Max")->IsVisible(); }));

  auto* pages = ui_cast<CContainerUI>(harness_.Find("Tab_Switch"));
  harness_.Click("Option_Mod");
  EXPECT_TRUE(pages->GetItemAt(1)->IsVisible());
  harness_.Click("Option_Game");
  harness_.Click("Option_Game");
  EXPECT_TRUE(pages->GetItemAt(0)->IsVisible());
  EXPECT_FALSE(pages->GetItemAt(1)->IsVisible());
}

TEST_F(FrameWindow, TheCloseButtonAndTheCloseCommandEndTheModalRun) {
  CFrameWnd& frame = harness_.Open();
  bool clicked = false;
  test::Watcher closer([&] {
    if (clicked) return;
    clicked = true;
    harness_.Click("Btn_Close");
  });
  EXPECT_EQ(frame.ShowModal(), 0);
  EXPECT_TRUE(clicked);
  harness_.Close();

  CFrameWnd& second = harness_.Open();
  bool sent = false;
  test::Watcher commander([&] {
    if (sent) return;
    sent = true;
    second.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  second.ShowModal();
  EXPECT_TRUE(sent);
  EXPECT_EQ(second.GetHWND(), nullptr);
}

TEST_F(FrameWindow, EscapeDoesNotEndTheLauncher) {
  CFrameWnd& frame = harness_.Open();
  test::KeyClick(frame.GetHWND(), Qt::Key_Escape);
  EXPECT_NE(frame.GetHWND(), nullptr);
  EXPECT_TRUE(frame.GetHWND()->isVisible());
}

TEST_F(FrameWindow, LogMessagesReachTheLogWindowAndUnknownMenuCommandsAreIgnored) {
  CFrameWnd& frame = harness_.Open();
  ASSERT_NE(frame.LogWindow(), nullptr);
  QWidget* log = frame.LogWindow()->GetHWND();
  EXPECT_FALSE(log->isVisible());
  frame.PostMessage(WMU_SHOW_LOG, 1, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return log->isVisible(); }));
  frame.PostMessage(WMU_SHOW_LOG, 0, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return !log->isVisible(); }));
  const CDuiString item = QStringLiteral("Menu_Nothing");
  frame.SendMessage(WMU_MENU_COMMAND, reinterpret_cast<WPARAM>(&item), 0);
  test::Pump(20);
  EXPECT_TRUE(frame.GetHWND()->isVisible());
}

// A stand-in updater that notes its command line.
void InstallUpdater(const test::TempFolder& folder) {
  test::WriteFile(folder / "Update", "#!/bin/sh\necho \"$1\" > started.txt\n");
  ::chmod((folder / "Update").c_str(), 0755);
}

// Runs the window modally and presses its start button once the run is under way, as a player
// does; returns when the run ends (the program quits, say).
void PressStartInTheModalRun(CFrameWnd& frame, test::FrameHarness& harness) {
  bool clicked = false;
  test::Watcher starter([&] {
    if (clicked) return;
    clicked = true;
    harness.Click("Btn_StartGame");
  });
  frame.ShowModal();
}

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 200 && test::ReadFile(path).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return test::ReadFile(path);
}

TEST_F(FrameWindow, WithoutJavaTheStartButtonOffersTheDownloadAndLaunchesNothing) {
  harness_.AddInstance("生存", "demo-1.0");
  test::NoJavaSource noJava;
  harness_.Services().java = &noJava;
  CFrameWnd& frame = harness_.Open();
  {
    test::MessageAnswerer answerer("cancelbtn");
    harness_.Click("Btn_StartGame");
    ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
    test::Pump(50);
    EXPECT_EQ(answerer.Texts()[0], QStringLiteral("未找到JAVA运行环境是否立即下载安装?"));
    EXPECT_EQ(answerer.Captions()[0], QStringLiteral("提示"));
    EXPECT_FALSE(frame.IsLaunching());
    EXPECT_EQ(frame.LastLaunch().Description().id, "");
  }
  // Agreeing hands over to the updater and ends the program.
  InstallUpdater(harness_.Home());
  test::MessageAnswerer answerer("okbtn");
  PressStartInTheModalRun(frame, harness_);
  EXPECT_EQ(WaitForFile(harness_.Home() / "started.txt"), "DownLoadJava\n");
}

TEST_F(FrameWindow, AVersionThatNeedsAnotherJavaOffersItsDownload) {
  class OnlyJava8 : public JavaRuntimeSource {
    std::vector<JavaRuntime> Runtimes() const override { return {{"/bin/sh", "1.8.0_392"}}; }
  } java8;
  harness_.Services().java = &java8;
  harness_.SetSetting("JavaPath", "/bin/sh");
  harness_.AddInstance("未来", "future");
  test::WriteFile(harness_.Home() / ".minecraft/versions/future/future.json",
                  R"({"id":"future","mainClass":"M","javaVersion":{"majorVersion":99},"libraries":[]})");
  InstallUpdater(harness_.Home());
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  PressStartInTheModalRun(frame, harness_);
  EXPECT_EQ(WaitForFile(harness_.Home() / "started.txt"), "DownLoadJava\n");
  ASSERT_EQ(answerer.Texts().size(), 1u);
  EXPECT_EQ(answerer.Texts()[0],
            QString::fromStdString(msg::JavaMissing(99, true)) + QString::fromUtf8(msg::kDownloadJavaQuestion));
}

TEST_F(FrameWindow, AJavaPathInTheSettingsCountsAsJava) {
  harness_.AddInstance("生存", "no-such-version");
  harness_.SetSetting("JavaPath", "/bin/sh");
  test::NoJavaSource noJava;
  harness_.Services().java = &noJava;
  harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  harness_.Click("Btn_StartGame");
  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }, 10000));
  EXPECT_NE(answerer.Texts()[0].indexOf(QStringLiteral("ERROR_LoadVersionObj")), -1) << answerer.Texts()[0].toStdString();
}

TEST_F(FrameWindow, WhenTheUpdaterCannotStartThePlayerIsToldAndTheLauncherStays) {
  harness_.AddInstance("生存", "demo-1.0");
  test::NoJavaSource noJava;
  harness_.Services().java = &noJava;
  harness_.Services().updaterFolder = harness_.Home() / "nowhere/";
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  harness_.Click("Btn_StartGame");
  ASSERT_TRUE(test::PumpUntil([&] { return answerer.Texts().size() == 2; }));
  EXPECT_EQ(answerer.Texts()[1], QStringLiteral("启动Update.exe失败"));
  // A program told to quit runs no event loop any more: this one runs its full course.
  QEventLoop probe;
  QTimer::singleShot(100, &probe, [&probe] { probe.exit(5); });
  EXPECT_EQ(probe.exec(), 5);
  EXPECT_TRUE(frame.GetHWND()->isVisible());
}

class UpdateOffer : public FrameWindow {
 protected:
  // The answer comes late enough for the test to be waiting in the window's modal run.
  void Publish(const std::string& version) {
    test::WriteFile(server_ / "launcher/version.txt", version);
    mirror_ = std::make_unique<test::MirrorProcess>(server_.Path(), std::vector<std::string>{"--delay", "500"});
    ASSERT_TRUE(mirror_->Started());
    harness_.Services().versionFileUrl = mirror_->BaseUrl() + "/launcher/version.txt";
  }
  test::TempFolder server_;
  std::unique_ptr<test::MirrorProcess> mirror_;
};

TEST_F(UpdateOffer, ANewerVersionIsOfferedAndDecliningKeepsTheLauncher) {
  Publish("0.1.4\n");
  test::MessageAnswerer answerer("cancelbtn");
  CFrameWnd& frame = harness_.Open();
  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }, 10000));
  EXPECT_EQ(answerer.Texts()[0], QStringLiteral("检测到新版本0.1.4是否立即更新?"));
  EXPECT_EQ(answerer.Captions()[0], QStringLiteral("更新提示"));
  test::Pump(50);
  EXPECT_TRUE(frame.GetHWND()->isVisible());
}

TEST_F(UpdateOffer, AgreeingStartsTheUpdaterWithTheVersionAndEndsTheProgram) {
  Publish("0.1.10");
  InstallUpdater(harness_.Home());
  test::MessageAnswerer answerer("okbtn");
  CFrameWnd& frame = harness_.Open();
  frame.ShowModal();
  EXPECT_EQ(answerer.Texts().size(), 1u);
  EXPECT_EQ(WaitForFile(harness_.Home() / "started.txt"), "Update:0.1.10\n");
}

TEST_F(UpdateOffer, TheSameVersionIsNotOffered) {
  Publish(std::string(LauncherVersion()));
  test::MessageAnswerer answerer("cancelbtn");
  CFrameWnd& frame = harness_.Open();
  EXPECT_TRUE(test::PumpUntil([&] { return !frame.IsCheckingForUpdate(); }, 10000));
  test::Pump(50);
  EXPECT_TRUE(answerer.Texts().empty());
}

TEST_F(UpdateOffer, AnUpdateServerThatDoesNotAnswerNeitherDelaysNorHoldsTheWindow) {
  // The server answers nothing before the test run's time limit: a window that waited for it
  // would never open, nor close.
  test::WriteFile(server_ / "launcher/version.txt", "0.1.4");
  mirror_ = std::make_unique<test::MirrorProcess>(server_.Path(), std::vector<std::string>{"--delay", "3600000"});
  ASSERT_TRUE(mirror_->Started());
  harness_.Services().versionFileUrl = mirror_->BaseUrl() + "/launcher/version.txt";

  CFrameWnd& frame = harness_.Open();
  EXPECT_TRUE(frame.IsCheckingForUpdate());
  // It answers meanwhile.
  harness_.Click("Btn_Max");
  EXPECT_TRUE(test::PumpUntil([&] { return frame.IsMaximized(); }));
  EXPECT_TRUE(frame.IsCheckingForUpdate());

  // Closing does not wait for the server either.
  harness_.Close();
}

}  // namespace
}  // namespace kv
