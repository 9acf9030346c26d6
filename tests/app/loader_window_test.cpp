// From the launcher window: a newcomer adds an instance of the game with Fabric through the
// add-instance dialog, against korvane-mirror standing in for the publishers, and starts it.
// Fabric's main class is a stand-in compiled here that prints what it was given.
#include <gtest/gtest.h>

#include "app/instance_tiles.h"
#include "dialogs/add_instance_wnd.h"
#include "dialogs/log_wnd.h"
#include "game/game_layout.h"
#include "loader/loader_services.h"
#include "settings/instance_list.h"
#include "tests/app/frame_harness.h"
#include "tests/dialogs/window_action.h"
#include "tests/loader/loader_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/java_tools.h"
#include "tests/support/run_command.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/combo.h"
#include "uilib/container.h"
#include "uilib/ui_cast.h"
#include "util/files.h"

namespace kv {
namespace {

using namespace ui;

class LoaderWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
    const std::string main = "net/fabricmc/loader/impl/launch/knot/KnotClient";
    const test::CommandResult compiled =
        test::RunCommand(test::JavaTool("javac"), {"--release", "11", "-d", root_ / "classes",
                                                   std::string(KORVANE_SOURCE_DIR) + "/tests/e2e/game/" + main + ".java"});
    ASSERT_EQ(compiled.status, 0) << compiled.err;
    const std::string knot = *ReadWholeFile(root_ / ("classes/" + main + ".class"));
    test::LoaderPublisher publisher(root_ / "served");
    publisher.ServeGameVersion("1.21.1", test::ZipBytes({{"net/minecraft/client/main/Main.class", "stand-in"}}));
    const std::string meta = "https://meta.fabricmc.net/v2/versions/loader/1.21.1";
    publisher.ServeList(meta, test::MetaListForGame(test::ParseJson(R"([{"version": "0.16.9", "stable": true}])"), "1.21.1"));
    publisher.ServeProfile(meta + "/0.16.9/profile/json",
                           test::ParseJson(test::ReadFixture("loaders/fabric/profile-fabric-loader-0.16.9-1.21.1.json")),
                           [&](const std::string& coordinate) {
                             if (coordinate == "net.fabricmc:fabric-loader:0.16.9") return test::ZipBytes({{main + ".class", knot}});
                             return test::ZipBytes({{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}});
                           });
    mirror_ = std::make_unique<test::MirrorProcess>(root_ / "served");
    ASSERT_TRUE(mirror_->Started());
    root_env_ = std::make_unique<test::ScopedEnvironment>("KORVANE_OFFICIAL_ROOT", mirror_->BaseUrl());

    FrameServices& services = harness_.Services();
    services.loaders = LoaderServices::Configured(harness_.SettingsPath());
    // The publisher's version list, which names the game version with its checksum.
    services.refreshVersionList = [list = root_ / "served/piston-meta.mojang.com/mc/game/version_manifest_v2.json"](
                                      const std::string& gamePath) {
      test::WriteFile(VersionListPath(gamePath), test::ReadFile(list));
      return true;
    };
    harness_.SetSetting("JavaPath", test::JavaTool("java"));
    harness_.SetSetting("IsShowCmd", "true");
  }

  test::TempFolder root_;
  std::unique_ptr<test::MirrorProcess> mirror_;
  test::ScopedEnvironment source_{"KORVANE_SOURCE", "official"};
  std::unique_ptr<test::ScopedEnvironment> root_env_;
  test::FrameHarness harness_;
};

TEST_F(LoaderWindow, ANewcomerAddsTheGameWithFabricAndStartsIt) {
  CFrameWnd& frame = harness_.Open();
  test::WindowAction answer(
      "KvAddInstanceWnd",
      [](CWindowWnd& window) {
        auto& dialog = static_cast<CAddInstanceWnd&>(window);
        test::ControlOf(&dialog, "Ed_InstanceName")->SetText(QStringLiteral("织布"));
        ui_cast<CComboUI>(test::ControlOf(&dialog, "CBox_Loader"))->SelectItem(1);
        auto* versions = ui_cast<CComboUI>(test::ControlOf(&dialog, "CBox_LoaderVersion"));
        EXPECT_TRUE(test::PumpUntil([&] { return !dialog.Busy() && versions->GetCount() == 1; }, 30000));
        EXPECT_EQ(versions->GetText(), QStringLiteral("0.16.9（稳定版）"));
        test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("add_instance_fabric_from_the_publisher"));
        test::ClickControlOf(&dialog, "Btn_OK");
      },
      [](CWindowWnd& window) {
        return !static_cast<CAddInstanceWnd&>(window).Busy() && !test::TextOf(&window, "Ed_Version").isEmpty();
      });
  harness_.Click("AddInstanceBtn");
  ASSERT_EQ(answer.Count(), 1);
  const std::string id = "fabric-loader-0.16.9-1.21.1";
  EXPECT_EQ(CInstanceList(harness_.SettingsPath(), false).GetVersion("织布"), id);
  CInstanceTileUI* tile = AsInstanceTile(frame.InstanceTiles()->GetItemAt(0));
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->GetToolTip(), QString::fromStdString("织布\n版本：" + id + "\n加载器：Fabric 0.16.9"));

  test::Click(frame, tile);
  harness_.Click("Btn_StartGame");
  EXPECT_TRUE(test::PumpUntil([&] { return !frame.IsLaunching(); }, 60000));
  const QString output = frame.LogWindow()->Text();
  EXPECT_NE(output.indexOf(QStringLiteral("loader=fabric")), -1) << output.toStdString();
  EXPECT_NE(output.indexOf(QString::fromStdString("arg[3]=" + id)), -1) << output.toStdString();
  EXPECT_NE(output.indexOf(QStringLiteral("FabricMcEmu=[ net.minecraft.client.main.Main ]")), -1);
}

}  // namespace
}  // namespace kv
