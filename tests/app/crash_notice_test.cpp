// A game that crashes when started from the window: the crash notice names the cause with its
// explanation above the last lines, and its button takes the player where the cause is fixed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QUrl>

#include "game/game_layout.h"
#include "settings/instance_folders.h"
#include "settings/settings.h"
#include "tests/app/frame_harness.h"
#include "tests/dialogs/window_action.h"
#include "tests/support/fixtures.h"
#include "tests/support/scoped_environment.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/ui_cast.h"
#include "util/files.h"

namespace kv {
namespace {

using namespace ui;

// What the player saw of the notice.
struct Notice {
  QString text;
  QString button;  // the action button's text; empty when it is not shown
};

class CrashNotice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
    // The version is in place; the checks of its documents find no server and keep it.
    environment_.Set("KORVANE_SOURCE", "mirror");
    environment_.Set("KORVANE_MIRROR", "http://127.0.0.1:9");
    harness_.SetSetting("JavaPath", java_);
    harness_.SetSetting("IsShowCmd", "true");
    harness_.Services().openUrl = [this](const std::string& address) {
      opened_.push_back(address);
      return true;
    };
  }
  // The instance "演示" of a version whose files are all in place, and the window on it.
  CFrameWnd& OpenWith(const std::string& version) {
    harness_.AddInstance("演示", version);
    const std::string game = harness_.Home() / ".minecraft/";
    test::WriteFile(VersionJsonPath(game, version), R"({"id":")" + version + R"(","mainClass":"Main","libraries":[]})");
    test::WriteFile(VersionJarPath(game, version), "x");
    return harness_.Open();
  }
  std::string ModsFolderUrl() const {
    const std::string mods = InstanceFolder(harness_.Home() / ".minecraft/", "演示") + "mods/";
    return QUrl::fromLocalFile(QString::fromStdString(mods)).toString().toStdString();
  }

  // The game prints the real log `log` and ends with `status`; the player presses the notice's
  // action button (or OK when there is none). `screenshot` names the picture of the notice.
  Notice CrashWith(const std::string& log, int status, const QString& screenshot = {}) {
    test::WriteFile(java_, "#!/bin/sh\ncat '" + test::FixturePath("crash-logs/" + log) + "'\nexit " +
                               std::to_string(status) + "\n");
    ::chmod(java_.c_str(), 0755);
    Notice notice;
    test::WindowAction press("KvMessageDialog", [&](CWindowWnd& dialog) {
      notice.text = test::TextOf(&dialog, "text");
      CControlUI* action = test::ControlOf(&dialog, "actionbtn");
      if (action && action->IsVisible()) notice.button = action->GetText();
      if (!screenshot.isEmpty()) test::SaveScreenshot(dialog.GetHWND(), screenshot);
      test::ClickControlOf(&dialog, notice.button.isEmpty() ? "okbtn" : "actionbtn");
    });
    harness_.Click("Btn_StartGame");
    EXPECT_TRUE(test::PumpUntil([&] { return !harness_.Frame().IsLaunching(); }, 60000));
    EXPECT_EQ(press.Count(), 1);
    test::Pump(30);
    return notice;
  }

  test::FrameHarness harness_;
  test::TestEnvironment environment_;
  const std::string java_ = harness_.Home() / "java";
  std::vector<std::string> opened_;
};

TEST_F(CrashNotice, TheCauseAboveTheLastLinesAndItsButton) {
  CFrameWnd& frame = OpenWith("1.12.2-Forge14.23.5.2847");
  const Notice missing = CrashWith("hmcl/logs/fabric-mod-missing.txt", 1, QStringLiteral("crash_notice"));
  EXPECT_TRUE(missing.text.startsWith(QStringLiteral(
      "游戏异常退出，退出代码: 1\n可能的原因: 缺少前置 Mod，或前置 Mod 的版本不对\n"
      "需要安装或更新的前置 Mod：Mod pca 需要的 Fabric API（版本 >=0.39.2）。")))
      << missing.text.toStdString();
  // The last lines follow the cause.
  EXPECT_GT(missing.text.indexOf(QStringLiteral("\n最后的输出:\n")), missing.text.indexOf(QStringLiteral("（见 game-latest.log）")));
  EXPECT_EQ(missing.button, QStringLiteral("打开 Mod 页面"));
  auto* modTab = ui_cast<COptionUI>(harness_.Find("Option_Mod"));
  EXPECT_TRUE(test::PumpUntil([&] { return modTab->IsSelected(); }));
  EXPECT_TRUE(frame.GetHWND()->isVisible());

  harness_.Click("Option_Game");
  const Notice duplicate = CrashWith("hmcl/logs/forge_found_duplicate_mods.txt", 1);
  EXPECT_EQ(duplicate.button, QStringLiteral("打开 mods 文件夹"));
  EXPECT_TRUE(test::PumpUntil([&] { return !opened_.empty(); }));
  EXPECT_EQ(opened_, std::vector<std::string>{ModsFolderUrl()});
  EXPECT_TRUE(PathExists(InstanceFolder(harness_.Home() / ".minecraft/", "演示") + "mods/"));
}

// The mod page offers mods for Forge versions only: a Fabric game's missing mod goes into its
// mods folder.
TEST_F(CrashNotice, AMissingModOfAFabricGameIsPutIntoItsModsFolder) {
  OpenWith("fabric-loader-0.11.7-1.17.1");
  EXPECT_EQ(CrashWith("hmcl/logs/fabric-mod-missing.txt", 1).button, QStringLiteral("打开 mods 文件夹"));
  EXPECT_TRUE(test::PumpUntil([&] { return !opened_.empty(); }));
  EXPECT_EQ(opened_, std::vector<std::string>{ModsFolderUrl()});
}

// The instance's memory and Java are its own settings; a Java to download is the launcher's.
TEST_F(CrashNotice, MemoryAndJavaCausesOpenTheInstancesSettings) {
  OpenWith("1.20.1");
  std::vector<QString> opened;
  test::WindowAction closeOwn("KvInstanceSetWnd", [&](CWindowWnd& dialog) {
    opened.push_back(test::TextOf(&dialog, "LB_WndText"));
    dialog.Close(IDCANCEL);
  });
  test::WindowAction closeLaunchers("KvSetWnd", [&](CWindowWnd& dialog) {
    opened.push_back(QStringLiteral("设置"));
    dialog.Close(IDCANCEL);
  });
  const QString own = QStringLiteral("实例设置 - 演示");
  EXPECT_EQ(CrashWith("hmcl/crash-report/out_of_memory.txt", 1).button, QStringLiteral("内存设置"));
  EXPECT_TRUE(test::PumpUntil([&] { return opened.size() == 1; }));
  // Killed by the system: no log says so, the exit status does.
  const Notice killed = CrashWith("prism/vanilla-1.21.5.xml.log", 137);
  EXPECT_TRUE(killed.text.startsWith(QStringLiteral("游戏异常退出，退出代码: 137\n可能的原因: 游戏被系统强制结束\n")))
      << killed.text.toStdString();
  EXPECT_EQ(killed.button, QStringLiteral("内存设置"));
  EXPECT_TRUE(test::PumpUntil([&] { return opened.size() == 2; }));
  EXPECT_EQ(CrashWith("hmcl/logs/too_old_java.txt", 1).button, QStringLiteral("下载 Java"));
  EXPECT_TRUE(test::PumpUntil([&] { return opened.size() == 3; }));
  EXPECT_EQ(CrashWith("hmcl/logs/java9.txt", 1).button, QStringLiteral("Java 设置"));
  EXPECT_TRUE(test::PumpUntil([&] { return opened.size() == 4; }));
  EXPECT_EQ(opened, (std::vector<QString>{own, own, QStringLiteral("设置"), own}));
}

TEST_F(CrashNotice, ACrashWithoutAKnownCauseOffersNoButton) {
  OpenWith("1.20.1");
  const Notice notice = CrashWith("hmcl/crash-report/debug_crash.txt", 1);
  EXPECT_TRUE(notice.button.isEmpty());
  EXPECT_TRUE(notice.text.startsWith(QStringLiteral(
      "游戏异常退出，退出代码: 1\n崩溃报告中的描述: Manually triggered debug crash\n最后的输出:\n")))
      << notice.text.toStdString();
}

}  // namespace
}  // namespace kv
