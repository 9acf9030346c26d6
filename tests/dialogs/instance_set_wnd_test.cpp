// The settings of one instance: the groups that follow the launcher until switched off, what
// OK keeps in the instance's section (and removes from it), and the refusals that keep the
// dialog open.
#include "dialogs/instance_set_wnd.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>

#include "settings/instance_list.h"
#include "settings/instance_settings.h"
#include "settings/settings.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/button.h"
#include "uilib/combo.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

class ListedJava : public JavaRuntimeSource {
 public:
  std::vector<JavaRuntime> Runtimes() const override { return runtimes; }
  std::vector<JavaRuntime> runtimes;
};

constexpr int kMachineMemory = 16384;
const char* const kFollowSwitches[] = {"CB_FollowJava", "CB_FollowMemory", "CB_FollowLaunchParameters",
                                       "CB_FollowWindowSize"};

class InstanceSettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
    java_.runtimes = {{"/usr/lib/jvm/java-17/bin/java", "17.0.15"}, {"/usr/lib/jvm/java-21/bin/java", "21.0.2"}};
    CSettings launcher(settings_);
    launcher.game.javaPath = java_.runtimes[0].path;
    launcher.game.javaVer = java_.runtimes[0].version;
    launcher.game.autoMemory = false;
    launcher.game.memoryMin = 512;
    launcher.game.memoryMax = 2048;
    launcher.game.launchParameters = "-Xss1M";
    ASSERT_TRUE(launcher.Save());
    CInstanceList instances(settings_, false);
    instances.Add({"生存", "1.7.10"});
    instances.Add({"创造", "1.20.1"});
    ASSERT_TRUE(instances.Save());
  }

  // Runs the dialog for `name`; `script` acts once the values are shown. A script that stopped
  // half-way leaves the dialog closed with -1.
  int Run(const std::string& name, const std::function<void(CInstanceSetWnd&)>& script) {
    InstanceSetWndServices services;
    services.settingsPath = settings_;
    services.instanceName = name;
    services.java = &java_;
    services.machineMemoryMb = kMachineMemory;
    CInstanceSetWnd dialog(std::move(services));
    EXPECT_TRUE(dialog.CreateFor(nullptr));
    QTimer::singleShot(0, [&] {
      if (test::PumpUntil([&] { return !test::TextOf(&dialog, "LB_MachineMemory").isEmpty(); })) {
        test::Pump(20);
        script(dialog);
      }
      if (dialog.GetHWND()) dialog.Close(-1);
    });
    return dialog.ShowModal();
  }

  static bool Checked(CWindowWnd& dialog, const char* name) {
    return ui_cast<COptionUI>(test::ControlOf(&dialog, name))->IsSelected();
  }
  static bool Enabled(CWindowWnd& dialog, const char* name) { return test::ControlOf(&dialog, name)->IsEnabled(); }
  static QString JavaShown(CWindowWnd& dialog) { return ui_cast<CComboUI>(test::ControlOf(&dialog, "CBox_JavaPath"))->GetText(); }
  // Presses OK and returns the message it brought (empty when none came).
  static QString Confirm(CWindowWnd& dialog) {
    test::MessageAnswerer answerer("okbtn");
    test::ClickControlOf(&dialog, "Btn_Ok");
    test::PumpUntil([&] { return !answerer.Texts().empty() || !dialog.GetHWND(); }, 1000);
    return answerer.Texts().empty() ? QString() : answerer.Texts().front();
  }
  GameSettings Section(int number) const {
    return ReadGameSettings(settings_, "KvInstance" + std::to_string(number));
  }

  test::TempFolder home_;
  std::string settings_ = home_ / "KvCfg.ini";
  ListedJava java_;
};

TEST_F(InstanceSettingsDialog, AGroupSwitchedOffIsKeptForThatInstanceAloneAndUsedByItsLaunch) {
  const int result = Run("创造", [&](CInstanceSetWnd& dialog) {
    EXPECT_EQ(test::TextOf(&dialog, "LB_WndText"), QStringLiteral("实例设置 - 创造"));
    EXPECT_EQ(test::TextOf(&dialog, "LB_MachineMemory"), QString::fromStdString(msg::MachineMemory(kMachineMemory)));
    // Everything follows the launcher: its values, greyed.
    for (const char* follow : kFollowSwitches) EXPECT_TRUE(Checked(dialog, follow)) << follow;
    EXPECT_EQ(JavaShown(dialog), QString::fromStdString(java_.runtimes[0].path));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("2048"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_LaunchParameters"), QStringLiteral("-Xss1M"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_WindowWidth"), QString());
    for (const char* control : {"CBox_JavaPath", "Btn_JavaPathReset", "CB_IsAutoMallocMemory", "Ed_JVMMemoryMax",
                                "Ed_LaunchParameters", "Ed_WindowWidth"}) {
      EXPECT_FALSE(Enabled(dialog, control)) << control;
    }
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("instance_settings_dialog"));

    test::ClickControlOf(&dialog, "CB_FollowMemory");
    EXPECT_TRUE(Enabled(dialog, "Ed_JVMMemoryMax"));
    EXPECT_FALSE(Enabled(dialog, "Ed_LaunchParameters"));
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("12288"));
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("instance_settings_own_memory"));
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  // The memory group alone, in the instance's own section.
  GameSettings expected;
  expected.autoMemory = false;
  expected.memoryMin = 512;
  expected.memoryMax = 12288;
  EXPECT_EQ(Section(2), expected);
  EXPECT_EQ(Section(1), GameSettings{});
  CSettings launch = ReadSettings(settings_);
  ApplyInstanceSettings(launch, "创造");
  EXPECT_EQ(launch.game.memoryMax, 12288);
  EXPECT_EQ(launch.game.launchParameters, "-Xss1M");
}

TEST_F(InstanceSettingsDialog, SwitchingFollowOnRemovesTheGroupsKeys) {
  GameSettings own;
  own.javaPath = java_.runtimes[1].path;
  own.javaVer = java_.runtimes[1].version;
  own.autoMemory = true;
  own.launchParameters = "-XX:+UseZGC";
  own.windowWidth = 1280;
  own.windowHeight = 720;
  ASSERT_TRUE(CInstanceList(settings_, false).SetOwnSettings("生存", own));
  ASSERT_EQ(Section(1), own);
  const int result = Run("生存", [&](CInstanceSetWnd& dialog) {
    for (const char* follow : kFollowSwitches) EXPECT_FALSE(Checked(dialog, follow)) << follow;
    EXPECT_EQ(JavaShown(dialog), QString::fromStdString(java_.runtimes[1].path));
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), QStringLiteral("21.0.2"));
    EXPECT_TRUE(Checked(dialog, "CB_IsAutoMallocMemory"));
    EXPECT_FALSE(Enabled(dialog, "Ed_JVMMemoryMax"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_LaunchParameters"), QStringLiteral("-XX:+UseZGC"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_WindowWidth"), QStringLiteral("1280"));
    for (const char* follow : kFollowSwitches) test::ClickControlOf(&dialog, follow);
    // Following shows what is followed.
    EXPECT_EQ(JavaShown(dialog), QString::fromStdString(java_.runtimes[0].path));
    EXPECT_FALSE(Checked(dialog, "CB_IsAutoMallocMemory"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_LaunchParameters"), QStringLiteral("-Xss1M"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_WindowWidth"), QString());
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Section(1), GameSettings{});
  EXPECT_EQ(test::ReadFile(settings_).find("WindowWidth"), std::string::npos);
}

TEST_F(InstanceSettingsDialog, ARefusedValueKeepsTheDialogOpenWithTheReasonAndEscapeCancels) {
  const std::string before = test::ReadFile(settings_);
  const int result = Run("生存", [&](CInstanceSetWnd& dialog) {
    test::ClickControlOf(&dialog, "CB_FollowMemory");
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("16385"));
    EXPECT_EQ(Confirm(dialog), QString::fromStdString(msg::MemoryAboveMachine("最大内存(MB)", kMachineMemory)));
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("256"));
    EXPECT_EQ(Confirm(dialog), QString::fromUtf8(msg::kMemoryMinAboveMax));
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("4096"));
    test::ClickControlOf(&dialog, "CB_FollowWindowSize");
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_WindowWidth"), QStringLiteral("0"));
    EXPECT_EQ(Confirm(dialog), QString::fromStdString(msg::NotAWindowSize("窗口宽度")));
    EXPECT_TRUE(dialog.GetHWND()->isVisible());
    EXPECT_EQ(test::ReadFile(settings_), before);
    test::KeyClick(dialog.GetHWND(), Qt::Key_Escape);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(test::ReadFile(settings_), before);
}

}  // namespace
}  // namespace kv
