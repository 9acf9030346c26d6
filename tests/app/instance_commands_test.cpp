// The launcher window's instance commands through the real event path: the add tile, the
// instance menu on a tile and on the empty column, the add, rename, delete and instance
// settings dialogs, a double click on a tile, the remembered selection, and instances named
// like the window's controls.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QWidget>
#include <atomic>
#include <mutex>

#include "app/instance_tiles.h"
#include "app/mod_page.h"
#include "dialogs/add_instance_wnd.h"
#include "dialogs/menu_wnd.h"
#include "dialogs/window_messages.h"
#include "play/launch_inputs.h"
#include "settings/instance_list.h"
#include "settings/instance_settings.h"
#include "settings/selected_instance.h"
#include "tests/app/frame_harness.h"
#include "tests/dialogs/window_action.h"
#include "tests/support/fixtures.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/container.h"
#include "uilib/layouts.h"
#include "uilib/ui_cast.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

class InstanceCommandsUi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
    // Launches stop at the version description, after noting which version they were for.
    harness_.Services().launch.metadata.both = [this](const DownloadSource&, const std::string&,
                                                       const std::string& version, const VersionDescription*) {
      std::lock_guard lock(mutex_);
      launched_.push_back(version);
    };
  }

  CInstanceTileUI* Tile(int index) { return AsInstanceTile(harness_.Frame().InstanceTiles()->GetItemAt(index)); }
  int TileCount() { return harness_.Frame().InstanceTiles()->GetCount(); }
  std::vector<std::string> Launched() {
    std::lock_guard lock(mutex_);
    return launched_;
  }
  std::vector<std::string> Registered() {
    std::vector<std::string> names;
    const CInstanceList list(harness_.SettingsPath(), false);
    for (const InstanceEntry& entry : list.Entries()) names.push_back(entry.name);
    return names;
  }

  // Right-clicks `control`, or the empty column below the tiles, and chooses `item` from the
  // instance menu that opens.
  void ChooseFromMenu(CControlUI* control, const char* item) {
    CFrameWnd& frame = harness_.Frame();
    QPoint point;
    if (control) {
      point = test::CenterOf(control);
    } else {
      const UiRect& column = frame.InstanceTiles()->GetPos();
      point = QPoint(column.left + column.Width() / 2, column.bottom - 12);
    }
    test::ClickAt(frame.GetHWND(), point, Qt::RightButton);
    ASSERT_TRUE(test::PumpUntil([] { return test::FindOpenWindow(QStringLiteral("MenuWnd")) != nullptr; }));
    test::Pump(10);
    test::ClickControlOf(test::FindOpenWindow(QStringLiteral("MenuWnd")), item);
    test::Pump(20);
  }

  // Answers the add-instance dialog, once its version list is in, with `name` and `button`.
  test::WindowAction AnswerAddDialog(const QString& name, const char* button) {
    return test::WindowAction(
        "KvAddInstanceWnd",
        [name, button](CWindowWnd& dialog) {
          test::ControlOf(&dialog, "Ed_InstanceName")->SetText(name);
          test::ClickControlOf(&dialog, button);
        },
        [](CWindowWnd& dialog) {
          return !static_cast<CAddInstanceWnd&>(dialog).Busy() && !test::TextOf(&dialog, "Ed_Version").isEmpty();
        });
  }

  test::FrameHarness harness_;
  std::mutex mutex_;
  std::vector<std::string> launched_;
};

TEST_F(InstanceCommandsUi, AddingFromTheMenuAndFromTheAddTileSelectsTheNewInstance) {
  harness_.AddInstance("生存", "1.7.10");
  harness_.AddInstance("创造", "1.12.2");
  CFrameWnd& frame = harness_.Open();
  test::Click(frame, Tile(1));
  ASSERT_EQ(frame.SelectedInstanceName(), "创造");
  const std::string fileBefore = test::ReadFile(harness_.SettingsPath());

  // Cancelled or closed: nothing changes.
  for (const char* button : {"Btn_Cancel", "Btn_Close"}) {
    test::WindowAction answer = AnswerAddDialog(QStringLiteral("不要"), button);
    harness_.Click("AddInstanceBtn");
    EXPECT_EQ(answer.Count(), 1);
    EXPECT_EQ(TileCount(), 3);
    EXPECT_EQ(test::ReadFile(harness_.SettingsPath()), fileBefore);
    EXPECT_FALSE(PathExists(harness_.Home() / "Instance/不要"));
  }

  {
    test::WindowAction answer = AnswerAddDialog(QStringLiteral("菜单"), "Btn_OK");
    ChooseFromMenu(nullptr, "Menu_Instance_Add");
    EXPECT_EQ(answer.Count(), 1);
  }
  EXPECT_EQ(frame.SelectedInstanceName(), "菜单");
  {
    test::WindowAction answer = AnswerAddDialog(QStringLiteral("加号"), "Btn_OK");
    harness_.Click("AddInstanceBtn");
    EXPECT_EQ(answer.Count(), 1);
  }
  ASSERT_EQ(TileCount(), 5);
  EXPECT_EQ(Tile(2)->GetText(), QStringLiteral("菜单"));
  EXPECT_EQ(Tile(3)->GetText(), QStringLiteral("加号"));
  EXPECT_EQ(Tile(3)->GetToolTip(), QStringLiteral("加号\n版本：26.2-pre-2"));
  EXPECT_TRUE(IsAddTile(frame.InstanceTiles()->GetItemAt(4)));
  // The last one added is the selection, in the frame, on the card and at the next start.
  EXPECT_FALSE(Tile(1)->IsSelected());
  EXPECT_TRUE(Tile(3)->IsSelected());
  EXPECT_EQ(frame.SelectedInstanceName(), "加号");
  EXPECT_EQ(frame.SelectedInstanceVersion(), "26.2-pre-2");
  EXPECT_EQ(harness_.Find("LB_InstanceName")->GetText(), QStringLiteral("加号"));
  EXPECT_EQ(LoadSelectedInstance(harness_.SettingsPath()), "加号");
  EXPECT_EQ(Registered(), (std::vector<std::string>{"生存", "创造", "菜单", "加号"}));
  EXPECT_EQ(CInstanceList(harness_.SettingsPath(), false).GetVersion("加号"), "26.2-pre-2");
  EXPECT_TRUE(PathExists(harness_.Home() / "Instance/加号/"));
  EXPECT_EQ(harness_.VersionListFetches(), 4);
}

TEST_F(InstanceCommandsUi, RenamingFromTheMenuOnTheColumnActsOnTheSelectedTile) {
  harness_.AddInstance("甲", "1.7.10");
  harness_.AddInstance("乙", "1.12.2");
  harness_.AddInstance("丙", "1.7.10");
  CFrameWnd& frame = harness_.Open();
  test::Click(frame, Tile(1));
  test::WindowAction rename(
      "KvRenameInsWnd",
      [](CWindowWnd& dialog) {
        test::ControlOf(&dialog, "Ed_InstanceName")->SetText(QStringLiteral("乙 改名"));
        test::ClickControlOf(&dialog, "Btn_Ok");
      },
      [](CWindowWnd& dialog) { return test::TextOf(&dialog, "Ed_InstanceName") == QStringLiteral("乙"); });
  ChooseFromMenu(nullptr, "Menu_Instance_Rename");
  ASSERT_EQ(rename.Count(), 1);
  EXPECT_TRUE(Tile(1)->IsSelected());
  EXPECT_EQ(Tile(1)->GetName(), QStringLiteral("乙 改名"));
  EXPECT_EQ(Tile(1)->GetText(), QStringLiteral("乙 改名"));
  EXPECT_EQ(Tile(1)->GetToolTip(), QStringLiteral("乙 改名\n版本：1.12.2"));
  EXPECT_EQ(frame.SelectedInstanceName(), "乙 改名");
  EXPECT_EQ(Registered(), (std::vector<std::string>{"甲", "乙 改名", "丙"}));
  EXPECT_TRUE(PathExists(harness_.Home() / "Instance/乙 改名/"));

  test::Click(frame, Tile(2));
  test::Click(frame, Tile(1));
  EXPECT_EQ(frame.SelectedInstanceName(), "乙 改名");
  EXPECT_EQ(frame.SelectedInstanceVersion(), "1.12.2");
  EXPECT_EQ(LoadSelectedInstance(harness_.SettingsPath()), "乙 改名");
}

TEST_F(InstanceCommandsUi, TheMenuOpensTheSettingsOfTheTileAndItsNextLaunchUsesThem) {
  harness_.AddInstance("生存", "1.7.10");
  harness_.AddInstance("创造", "1.20.1");
  harness_.SetSetting("IsAutoMallocMemory", "false");
  harness_.SetSetting("JVMMemoryMin", "512");
  harness_.SetSetting("JVMMemoryMax", "1024");
  harness_.Open();
  QString title;
  test::WindowAction settings(
      "KvInstanceSetWnd",
      [&](CWindowWnd& dialog) {
        title = test::TextOf(&dialog, "LB_WndText");
        test::ClickControlOf(&dialog, "CB_FollowMemory");
        test::ControlOf(&dialog, "Ed_JVMMemoryMax")->SetText(QStringLiteral("3072"));
        test::ClickControlOf(&dialog, "Btn_Ok");
      },
      [](CWindowWnd& dialog) { return test::TextOf(&dialog, "Ed_JVMMemoryMax") == QStringLiteral("1024"); });
  ChooseFromMenu(Tile(1), "Menu_Instance_Settings");
  ASSERT_EQ(settings.Count(), 1);
  EXPECT_EQ(title, QStringLiteral("实例设置 - 创造"));
  for (const auto& [name, memoryMax] : {std::pair{"创造", 3072}, std::pair{"生存", 1024}}) {
    CSettings launch = ReadSettings(harness_.SettingsPath());
    ApplyInstanceSettings(launch, name);
    EXPECT_EQ(MakeLaunchInputs(launch, nullptr, name, PlatformProfile::Host()).memoryMax, memoryMax) << name;
  }
}

TEST_F(InstanceCommandsUi, DeletingAsksAndTakesTileRegistryAndFolder) {
  harness_.AddInstance("生存", "1.7.10");
  harness_.AddInstance("创造", "1.12.2");
  test::WriteFile(harness_.Home() / "Instance/创造/saves/world.dat", "x");
  CFrameWnd& frame = harness_.Open();
  ASSERT_TRUE(Tile(0)->IsSelected());

  // The menu on a tile selects it first; the question can be declined.
  QString question;
  {
    test::WindowAction decline("KvMessageDialog", [&](CWindowWnd& dialog) {
      question = test::TextOf(&dialog, "text");
      test::Pump(30);
      test::SaveScreenshot(frame.GetHWND(), {dialog.GetHWND()}, QStringLiteral("delete_question"));
      test::ClickControlOf(&dialog, "cancelbtn");
    });
    ChooseFromMenu(Tile(1), "Menu_Instance_Del");
  }
  // It says what goes for good, and where it lies.
  const QString folder = QString::fromStdString(harness_.Home() / "Instance/创造/");
  EXPECT_TRUE(question.contains(folder)) << question.toStdString();
  for (const char* word : {"永久", "存档", "Mod", "设置"}) EXPECT_TRUE(question.contains(QString::fromUtf8(word))) << word;
  EXPECT_TRUE(Tile(1)->IsSelected());
  EXPECT_EQ(TileCount(), 3);
  EXPECT_EQ(Registered(), (std::vector<std::string>{"生存", "创造"}));
  EXPECT_TRUE(PathExists(harness_.Home() / "Instance/创造/saves/world.dat"));

  {
    test::MessageAnswerer agree("okbtn");
    ChooseFromMenu(Tile(1), "Menu_Instance_Del");
    EXPECT_EQ(agree.Texts().size(), 1u);
  }
  ASSERT_EQ(TileCount(), 2);
  EXPECT_FALSE(Tile(0)->IsSelected());
  EXPECT_TRUE(frame.SelectedInstanceName().empty());
  EXPECT_EQ(Registered(), std::vector<std::string>{"生存"});
  EXPECT_FALSE(PathExists(harness_.Home() / "Instance/创造"));
  EXPECT_TRUE(PathExists(harness_.Home() / "Instance/生存"));
}

TEST_F(InstanceCommandsUi, AnInstanceMadeWithALoaderNamesItOnItsTileAndInItsMenu) {
  const std::string fabric = "fabric-loader-0.16.9-1.21.1";
  test::WriteFile(harness_.Home() / (".minecraft/versions/" + fabric + "/" + fabric + ".json"),
                  test::ReadFixture("loaders/fabric/profile-fabric-loader-0.16.9-1.21.1.json"));
  harness_.AddInstance("织布", fabric);
  harness_.AddInstance("原版", "1.21.1");
  CFrameWnd& frame = harness_.Open();
  EXPECT_EQ(Tile(0)->GetToolTip(), QStringLiteral("织布\n版本：fabric-loader-0.16.9-1.21.1\n加载器：Fabric 0.16.9"));
  EXPECT_EQ(Tile(1)->GetToolTip(), QStringLiteral("原版\n版本：1.21.1"));

  // The menu on the loader's tile says which loader, as a line above the commands.
  test::ClickAt(frame.GetHWND(), test::CenterOf(Tile(0)), Qt::RightButton);
  ASSERT_TRUE(test::PumpUntil([] { return test::FindOpenWindow(QStringLiteral("MenuWnd")) != nullptr; }));
  test::Pump(30);
  auto* menu = static_cast<CMenuWnd*>(test::FindOpenWindow(QStringLiteral("MenuWnd")));
  CMenuUI* items = menu->GetMenuRoot();
  ASSERT_EQ(items->GetCount(), 11);
  EXPECT_EQ(items->GetItemAt(0)->GetText(), QStringLiteral("加载器：Fabric 0.16.9"));
  EXPECT_FALSE(items->GetItemAt(0)->IsEnabled());
  // Wide enough for its text, beside the icon column.
  const int textWidth = QFontMetrics(menu->GetPaintManager().GetDefaultFont()).horizontalAdvance(items->GetItemAt(0)->GetText());
  EXPECT_GE(items->GetItemAt(0)->GetPos().Width(), CMenuElementUI::kIconColumn + textWidth);
  EXPECT_EQ(items->GetItemAt(2)->GetName(), QStringLiteral("Menu_Instance_Add"));
  test::SaveScreenshot(frame.GetHWND(), {menu->GetHWND()}, QStringLiteral("instance_menu_loader"));
  // A click on the line is no command: the instance stays as it is.
  test::ClickControlOf(menu, "Menu_Instance_Loader");
  test::Pump(30);
  EXPECT_EQ(Registered(), (std::vector<std::string>{"织布", "原版"}));
  CMenuWnd::ContextMenuObserver().Broadcast({1, nullptr});
  ASSERT_TRUE(test::PumpUntil([] { return test::FindOpenWindow(QStringLiteral("MenuWnd")) == nullptr; }));

  test::ClickAt(frame.GetHWND(), test::CenterOf(Tile(1)), Qt::RightButton);
  ASSERT_TRUE(test::PumpUntil([] { return test::FindOpenWindow(QStringLiteral("MenuWnd")) != nullptr; }));
  auto* plain = static_cast<CMenuWnd*>(test::FindOpenWindow(QStringLiteral("MenuWnd")));
  EXPECT_EQ(plain->GetMenuRoot()->GetItemAt(0)->GetName(), QStringLiteral("Menu_Instance_Add"));
  CMenuWnd::ContextMenuObserver().Broadcast({1, nullptr});
  ASSERT_TRUE(test::PumpUntil([] { return test::FindOpenWindow(QStringLiteral("MenuWnd")) == nullptr; }));
}

TEST_F(InstanceCommandsUi, TheMenuBelongsToTheGamePage) {
  harness_.AddInstance("生存", "1.7.10");
  harness_.AddInstance("创造", "1.12.2");
  CFrameWnd& frame = harness_.Open();
  harness_.Click("Option_Mod");
  ASSERT_TRUE(test::PumpUntil([&] { return !frame.GamePageShown() && !frame.Mods()->Busy(); }));
  test::ClickAt(frame.GetHWND(), test::CenterOf(Tile(1)), Qt::RightButton);
  test::Pump(50);
  EXPECT_EQ(test::FindOpenWindow(QStringLiteral("MenuWnd")), nullptr);
  EXPECT_TRUE(Tile(0)->IsSelected());
}

TEST_F(InstanceCommandsUi, InstancesNamedLikeTheWindowsControlsAreOnlyInstances) {
  harness_.AddInstance("Option_Mod", "v-mod");
  harness_.AddInstance("Tab_Switch", "v-tab");
  harness_.AddInstance("AddInstanceBtn", "v-add");
  harness_.AddInstance("Btn_StartGame", "v-start");
  CFrameWnd& frame = harness_.Open();
  auto* pages = ui_cast<CTabLayoutUI>(harness_.Find("Tab_Switch"));
  test::WindowAction addDialog("KvAddInstanceWnd", [](CWindowWnd& dialog) { dialog.Close(IDCANCEL); });
  test::MessageAnswerer answerer("okbtn");

  for (int i = 0; i < 4; ++i) {
    test::Click(frame, Tile(i));
    EXPECT_TRUE(Tile(i)->IsSelected());
    EXPECT_EQ(frame.SelectedInstanceName(), Tile(i)->GetName().toStdString());
    EXPECT_EQ(pages->GetCurSel(), 0);
  }
  test::Pump(50);
  EXPECT_EQ(addDialog.Count(), 0);
  EXPECT_FALSE(frame.IsLaunching());
  EXPECT_TRUE(Launched().empty());

  // The window's own controls still do their work.
  harness_.Click("Option_Mod");
  EXPECT_EQ(pages->GetCurSel(), 1);
  harness_.Click("Option_Game");
  EXPECT_EQ(pages->GetCurSel(), 0);
  harness_.Click("AddInstanceBtn");
  EXPECT_EQ(addDialog.Count(), 1);
  harness_.Click("Btn_StartGame");
  ASSERT_TRUE(test::PumpUntil([&] { return !frame.IsLaunching() && !answerer.Texts().empty(); }));
  EXPECT_EQ(Launched(), std::vector<std::string>{"v-start"});
}

TEST_F(InstanceCommandsUi, TheArrowsMoveBetweenTilesAndEnterStartsTheSelectedOne) {
  harness_.AddInstance("生存", "v-survival");
  harness_.AddInstance("创造", "v-creative");
  harness_.AddInstance("冒险", "v-adventure");
  CFrameWnd& frame = harness_.Open();
  ASSERT_TRUE(Tile(0)->IsSelected());
  test::MessageAnswerer answerer("okbtn");
  const auto key = [&](Qt::Key k) { test::KeyClick(frame.GetHWND(), k); };
  const auto launchedAfter = [&](std::size_t count) {
    return test::PumpUntil([&] { return Launched().size() == count && !frame.IsLaunching(); }, 10000);
  };

  // Nothing has the focus yet: Enter starts the selected tile.
  key(Qt::Key_Return);
  ASSERT_TRUE(launchedAfter(1));
  EXPECT_EQ(Launched().back(), "v-survival");

  // The arrows go from the selected tile and take the selection along; the column ends stop them.
  key(Qt::Key_Up);
  EXPECT_TRUE(Tile(0)->IsSelected());
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  key(Qt::Key_Up);
  EXPECT_TRUE(Tile(1)->IsSelected());
  EXPECT_EQ(frame.GetPaintManager().GetFocus(), Tile(1));
  EXPECT_EQ(frame.SelectedInstanceName(), "创造");
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("tile_keyboard_focus"));
  key(Qt::Key_Return);
  ASSERT_TRUE(launchedAfter(2));
  EXPECT_EQ(Launched().back(), "v-creative");

  // Past the last instance the add tile takes the focus, and its Enter is its own.
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  EXPECT_TRUE(IsAddTile(frame.GetPaintManager().GetFocus()));
  EXPECT_TRUE(Tile(2)->IsSelected());
  test::WindowAction cancel("KvAddInstanceWnd", [](CWindowWnd& dialog) { test::KeyClick(dialog.GetHWND(), Qt::Key_Escape); });
  key(Qt::Key_Return);
  EXPECT_TRUE(test::PumpUntil([&] { return cancel.Count() == 1; }));
  EXPECT_EQ(Launched().size(), 2u);
}

TEST_F(InstanceCommandsUi, ADoubleClickStartsATileAndTheSelectionOutlivesTheWindow) {
  harness_.AddInstance("生存", "v-survival");
  harness_.AddInstance("创造", "v-creative");
  CFrameWnd& frame = harness_.Open();
  EXPECT_EQ(Tile(1)->GetToolTip(), QStringLiteral("创造\n版本：v-creative"));
  test::MessageAnswerer answerer("okbtn");
  test::DoubleClick(frame, Tile(1));
  ASSERT_TRUE(test::PumpUntil([&] { return !Launched().empty() && !frame.IsLaunching(); }, 10000));
  EXPECT_EQ(Launched(), std::vector<std::string>{"v-creative"});

  harness_.Close();
  CFrameWnd& again = harness_.Open();
  EXPECT_TRUE(Tile(1)->IsSelected());
  EXPECT_FALSE(Tile(0)->IsSelected());
  EXPECT_EQ(again.SelectedInstanceName(), "创造");
  EXPECT_EQ(again.SelectedInstanceVersion(), "v-creative");
}

TEST_F(InstanceCommandsUi, DeletingAndRenamingWaitForTheLaunchToEnd) {
  harness_.AddInstance("生存", "1.7.10");
  std::atomic<bool> release{false};
  harness_.Services().launch.metadata.both = [&](const DownloadSource&, const std::string&, const std::string&,
                                                    const VersionDescription*) {
    while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  bool tried = false;
  test::Watcher during([&] {
    if (tried || !frame.IsLaunching()) return;
    tried = true;
    for (const char* item : {"Menu_Instance_Del", "Menu_Instance_Rename"}) {
      const CDuiString name = QString::fromLatin1(item);
      frame.SendMessage(WMU_MENU_COMMAND, reinterpret_cast<WPARAM>(&name), 0);
    }
    release.store(true);
  });
  harness_.Click("Btn_StartGame");
  ASSERT_TRUE(test::PumpUntil([&] { return tried && !frame.IsLaunching() && answerer.Texts().size() == 3; }, 10000));
  EXPECT_EQ(answerer.Texts()[0], QString::fromUtf8(msg::kInstanceBusy));
  EXPECT_EQ(answerer.Texts()[1], QString::fromUtf8(msg::kInstanceBusy));
  EXPECT_EQ(Registered(), std::vector<std::string>{"生存"});
  EXPECT_TRUE(PathExists(harness_.Home() / "Instance/生存"));
}

}  // namespace
}  // namespace kv
