// The mod page of the launcher window: with the real qrx against the demo catalogue, and with
// stand-in tools for the states that are hard to reach otherwise.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "app/mod_page.h"
#include "dialogs/loading_wnd.h"
#include "tests/app/frame_harness.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/label.h"
#include "uilib/list.h"
#include "uilib/ui_cast.h"
#include "util/files.h"

namespace kv {
namespace {

using namespace ui;

const QString kInstalledBadge = QStringLiteral("file='image\\ModInstalled.png' dest='27,27,39,39'");
const QString kNotInstalledBadge = QStringLiteral("file='image\\ModNotInstalled.png' dest='27,27,39,39'");

class ModPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }

  CListUI* List() { return ui_cast<CListUI>(harness_.Find("List_Mod")); }
  QString Text(const char* name) { return harness_.Find(name)->GetText(); }
  bool Shown(const char* name) {
    CControlUI* control = harness_.Find(name);
    return control && control->IsVisibleInTree();
  }
  CContainerUI* Row(int index) {
    auto* item = ui_cast<CContainerUI>(List()->GetItemAt(index));
    return ui_cast<CContainerUI>(item->GetItemAt(0));
  }
  QString ItemId(int index) { return Row(index)->GetItemAt(1)->GetText(); }
  CButtonUI* ItemIcon(int index) {
    return ui_cast<CButtonUI>(Row(index)->FindSubControl(QStringLiteral("MODICON")));
  }
  void ClickItem(int index) { test::Click(harness_.Frame(), List()->GetItemAt(index)); }
  std::string InstanceFolder(const std::string& name) { return harness_.Home() / (".minecraft/../Instance/" + name + "/"); }
  // The list side shows the placeholder with `text`; the details side shows its own.
  void ExpectPlaceholders(const char* text) {
    EXPECT_EQ(List()->GetCount(), 0);
    EXPECT_FALSE(Shown("VL_ModListChild"));
    EXPECT_TRUE(Shown("VL_NOMOD"));
    EXPECT_EQ(Text("TEXT_NOMOD"), QString::fromUtf8(text));
    EXPECT_FALSE(Shown("VL_ModInfoChild"));
    EXPECT_TRUE(Shown("VL_NOMODINFO"));
    EXPECT_EQ(Text("TEXT_NOMODINFO"), QStringLiteral("无Mod信息"));
  }

  test::FrameHarness harness_;
};

// The demo catalogue of tools/demo, served by korvane-mirror, worked by the qrx of the build.
class ModPageWithDemoCatalogue : public ModPageTest {
 protected:
  void SetUp() override {
    ModPageTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(PathExists(test::DemoMirrorRoot() + "/allmod/index.json"));
    mirror_ = std::make_unique<test::MirrorProcess>(test::DemoMirrorRoot());
    ASSERT_TRUE(mirror_->Started());
    catalogue_ = std::make_unique<test::ScopedEnvironment>("KORVANE_CATALOGUE", mirror_->BaseUrl() + "/allmod/");
    harness_.Services().packageToolFolder = KORVANE_PROGRAM_FOLDER;
  }
  std::unique_ptr<test::MirrorProcess> mirror_;
  std::unique_ptr<test::ScopedEnvironment> catalogue_;
};

TEST_F(ModPageWithDemoCatalogue, ListInstallShowInstalledAndRemove) {
  harness_.AddInstance("Forge 演示", "demo-1.0-Forge1.0");
  CFrameWnd& frame = harness_.Open();
  harness_.Click("Option_Mod");
  ASSERT_TRUE(test::PumpUntil([&] { return List()->GetCount() == 3 && List()->GetCurSel() == 0; }));
  test::Pump(30);
  EXPECT_EQ(ItemId(0), QStringLiteral("demo-compass"));
  EXPECT_EQ(ItemId(1), QStringLiteral("demo-lanterns"));
  EXPECT_EQ(ItemId(2), QStringLiteral("demo-ores"));
  EXPECT_TRUE(Shown("VL_ModListChild"));
  EXPECT_FALSE(Shown("VL_NOMOD"));
  EXPECT_EQ(Text("LB_ModName"), QStringLiteral("demo-compass"));
  EXPECT_EQ(Text("LB_ModAuthor"), QStringLiteral("Korvane 团队  "));
  EXPECT_EQ(Text("LB_Installed"), QStringLiteral("No"));
  // Each item shows the icon that init fetched, with the not-installed badge over it.
  for (int i = 0; i < 3; ++i) {
    const QString icon = ItemIcon(i)->GetBkImage();
    const qsizetype start = icon.indexOf(u'\'') + 1;
    EXPECT_TRUE(PathExists(icon.mid(start, icon.indexOf(u'\'', start) - start).toStdString())) << icon.toStdString();
    EXPECT_EQ(ItemIcon(i)->GetNormalImage(), kNotInstalledBadge);
  }
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("mod_page_catalogue"));

  ClickItem(2);
  EXPECT_EQ(Text("LB_ModName"), QStringLiteral("demo-ores"));
  EXPECT_EQ(Text("LB_ModAuthor"), QStringLiteral("Alex  Steve  "));
  harness_.Click("Btn_AddMod");
  ASSERT_TRUE(test::PumpUntil([&] { return ItemIcon(2)->GetNormalImage() == kInstalledBadge; }));
  EXPECT_EQ(Text("LB_Installed"), QStringLiteral("Yes"));
  EXPECT_EQ(test::ReadFile(InstanceFolder("Forge 演示") + "mods/demo-ores-1.2.0.jar"),
            test::ReadFile(test::DemoMirrorRoot() + "/allmod/jars/demo-ores-1.2.0.jar"));
  EXPECT_EQ(frame.Mods()->Catalogue()[2].installed, "true");
  test::Pump(30);
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("mod_page_installed_badge"));

  harness_.Click("CB_IsInstanll");
  ASSERT_TRUE(test::PumpUntil([&] { return frame.Mods()->InstalledMods().size() == 1 && List()->GetCurSel() == 0; }));
  test::Pump(30);
  EXPECT_EQ(List()->GetCount(), 1);
  EXPECT_EQ(ItemId(0), QStringLiteral("demo-ores"));
  EXPECT_EQ(ItemIcon(0)->GetNormalImage(), kInstalledBadge);
  EXPECT_EQ(Text("LB_ModName"), QStringLiteral("demo-ores"));
  EXPECT_EQ(Text("LB_Installed"), QStringLiteral("Yes"));
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("mod_page_installed_view"));
  // Installing is offered in the catalogue only.
  harness_.Click("Btn_AddMod");
  EXPECT_EQ(List()->GetCount(), 1);

  harness_.Click("Btn_DelMod");
  ASSERT_TRUE(test::PumpUntil([&] { return Shown("VL_NOMOD"); }));
  test::Pump(30);
  ExpectPlaceholders("没安装Mod");
  EXPECT_FALSE(PathExists(InstanceFolder("Forge 演示") + "mods/demo-ores-1.2.0.jar"));
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("mod_page_placeholder_none_installed"));

  harness_.Click("CB_IsInstanll");
  ASSERT_TRUE(test::PumpUntil([&] { return List()->GetCount() == 3 && List()->GetCurSel() == 0; }));
  EXPECT_EQ(ItemIcon(2)->GetNormalImage(), kNotInstalledBadge);
  EXPECT_TRUE(Shown("VL_ModInfoChild"));
  EXPECT_FALSE(Shown("VL_NOMODINFO"));

  // Removing works from the catalogue too: the item gets its not-installed badge back.
  harness_.Click("Btn_AddMod");
  ASSERT_EQ(ItemIcon(0)->GetNormalImage(), kInstalledBadge);
  harness_.Click("Btn_DelMod");
  EXPECT_EQ(ItemIcon(0)->GetNormalImage(), kNotInstalledBadge);
  EXPECT_EQ(Text("LB_Installed"), QStringLiteral("No"));
  EXPECT_EQ(frame.Mods()->Catalogue()[0].installed, "false");
  EXPECT_FALSE(PathExists(InstanceFolder("Forge 演示") + "mods/demo-compass-2.0.1.jar"));
}

// A stand-in for qrx that records its runs in calls.log of the launcher folder, answers
// matchlist and list with catalogue.json and installed.json from there, holds matchlist while a
// file "hold" exists, and on uninstall fails when "uninstall-fails" exists or else takes
// installed-after.json as the new installed list.
class ModPageWithStandInTool : public ModPageTest {
 protected:
  void SetUp() override {
    ModPageTest::SetUp();
    if (IsSkipped()) return;
    const std::string tool = tools_ / "qrx";
    test::WriteFile(tool, R"(#!/bin/sh
echo "$*" >> calls.log
info="$PWD/.minecraft/../Instance/$2/.qrx/.info"
mkdir -p "$info"
case "$1" in
  matchlist) while [ -f hold ]; do sleep 0.05; done; cp catalogue.json "$info/Matchmod.info" ;;
  list) cp installed.json "$info/InstalledMod.info" ;;
  install) echo "badluck: not here"; exit 1 ;;
  uninstall) [ -f uninstall-fails ] && { echo badluck; exit 1; }; mv installed-after.json installed.json ;;
esac
exit 0
)");
    ::chmod(tool.c_str(), 0755);
    harness_.Services().packageToolFolder = tools_.Path();
    Write("installed.json", R"({"installmodlist":[]})");
  }
  // An installed entry of the stand-in's lists.
  static std::string Installed(const char* id) {
    return std::string(R"({"mod":{"id":")") + id + R"("},"extrainfo":{"author":["by )" + id + R"("]}})";
  }
  void Write(const std::string& name, const std::string& text) { test::WriteFile(harness_.Home() / name, text); }
  std::string Calls() { return test::ReadFile(harness_.Home() / "calls.log"); }

  test::TempFolder tools_;
  test::ScopedEnvironment catalogue_{"KORVANE_CATALOGUE", "http://catalogue.test/allmod/"};
};

TEST_F(ModPageWithStandInTool, AVersionWithoutForgeShowsNotSupportedWithoutRunningTheTool) {
  harness_.AddInstance("原版", "demo-1.0");
  CFrameWnd& frame = harness_.Open();
  harness_.Click("Option_Mod");
  ASSERT_TRUE(test::PumpUntil([&] { return Shown("VL_NOMOD"); }));
  test::Pump(30);
  ExpectPlaceholders("不支持Mod");
  EXPECT_EQ(Calls(), "");
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("mod_page_placeholder_not_supported"));
}

TEST_F(ModPageWithStandInTool, InstancesNamedLikeThePagesPartsStayInstances) {
  harness_.AddInstance("VL_NOMOD", "demo-1.0");
  harness_.AddInstance("TEXT_NOMOD", "demo-1.0");
  CFrameWnd& frame = harness_.Open();
  harness_.Click("Option_Mod");
  ASSERT_TRUE(test::PumpUntil([&] { return Shown("VL_NOMOD"); }));
  ExpectPlaceholders("不支持Mod");
  for (int i = 0; i < 2; ++i) {
    CControlUI* tile = frame.InstanceTiles()->GetItemAt(i);
    EXPECT_TRUE(tile->IsVisible());
    EXPECT_EQ(tile->GetText(), tile->GetName());
  }
}

TEST_F(ModPageWithStandInTool, WhileTheCatalogueLoadsThePageSaysSo) {
  harness_.AddInstance("生存", "1.7.10-Forge10.13.2.1291");
  Write("catalogue.json", R"({"allmodlist":[{"id":"jei","installed":"false","extrainfo":{"author":["mezz"]}}]})");
  Write("hold", "");
  CFrameWnd& frame = harness_.Open();
  bool seen = false;
  test::Watcher watcher([&] {
    if (seen || !Shown("VL_NOMOD") || Text("TEXT_NOMOD") != QStringLiteral("加载Mod中...")) return;
    seen = true;
    EXPECT_TRUE(frame.Mods()->Busy());
    EXPECT_TRUE(frame.LoadingWindow()->GetHWND()->isVisible());
    test::SaveScreenshot(frame.GetHWND(), QStringLiteral("mod_page_placeholder_loading"));
    std::filesystem::remove(harness_.Home() / "hold");
  });
  harness_.Click("Option_Mod");
  ASSERT_TRUE(test::PumpUntil([&] { return List()->GetCount() == 1 && List()->GetCurSel() == 0; })) << List()->GetCount() << " " << List()->GetCurSel() << " " << Calls() << frame.Mods()->Catalogue().size();
  EXPECT_TRUE(seen);
  EXPECT_EQ(Text("LB_ModAuthor"), QStringLiteral("mezz  "));
  EXPECT_EQ(Calls(), "init 生存 http://catalogue.test/allmod/ 1.7.10\nlist 生存\nmatchlist 生存 1.7.10\n");
}

TEST_F(ModPageWithStandInTool, ACatalogueThatCannotBeReadLeavesNoStaleList) {
  harness_.AddInstance("生存", "1.7.10-Forge10.13.2.1291");
  Write("catalogue.json", R"({"allmodlist":[{"id":"a","installed":true},{"id":"b"}]})");
  CFrameWnd& frame = harness_.Open();
  harness_.Click("Option_Mod");
  ASSERT_TRUE(test::PumpUntil([&] { return List()->GetCount() == 2 && List()->GetCurSel() == 0; }));
  EXPECT_EQ(ItemIcon(0)->GetNormalImage(), kInstalledBadge);
  EXPECT_EQ(ItemIcon(1)->GetNormalImage(), kNotInstalledBadge);
  // Installing an installed entry runs nothing; a failed install changes nothing.
  harness_.Click("Btn_AddMod");
  ClickItem(1);
  harness_.Click("Btn_AddMod");
  EXPECT_EQ(ItemIcon(1)->GetNormalImage(), kNotInstalledBadge);
  EXPECT_EQ(Text("LB_Installed"), QStringLiteral("No"));
  EXPECT_EQ(Calls().find("install a"), std::string::npos);
  EXPECT_NE(Calls().find("install 生存 b"), std::string::npos);

  Write("catalogue.json", "{\"allmodlist\": [ {\"id\": 5} ]}");
  harness_.Click("CB_IsInstanll");
  ASSERT_TRUE(test::PumpUntil([&] { return Shown("VL_NOMOD"); }));
  harness_.Click("CB_IsInstanll");
  ASSERT_TRUE(test::PumpUntil([&] { return Text("TEXT_NOMOD") == QStringLiteral("不支持Mod"); }));
  test::Pump(30);
  ExpectPlaceholders("不支持Mod");
  EXPECT_TRUE(frame.Mods()->Catalogue().empty());
}

TEST_F(ModPageWithStandInTool, RemovingInTheInstalledViewRebuildsTheItemsFromTheNewList) {
  harness_.AddInstance("生存", "1.7.10-Forge10.13.2.1291");
  Write("catalogue.json", R"({"allmodlist":[]})");
  Write("installed.json", "{\"installmodlist\":[" + Installed("a") + "," + Installed("b") + "," + Installed("c") + "]}");
  // The tool removes a and reports the rest in another order.
  Write("installed-after.json", "{\"installmodlist\":[" + Installed("c") + "," + Installed("b") + "]}");
  CFrameWnd& frame = harness_.Open();
  harness_.Click("Option_Mod");
  ASSERT_TRUE(test::PumpUntil([&] { return Shown("VL_NOMOD"); }));
  harness_.Click("CB_IsInstanll");
  ASSERT_TRUE(test::PumpUntil([&] { return List()->GetCount() == 3 && List()->GetCurSel() == 0; }));
  EXPECT_EQ(Text("LB_ModAuthor"), QStringLiteral("by a  "));

  harness_.Click("Btn_DelMod");
  ASSERT_TRUE(test::PumpUntil([&] { return List()->GetCount() == 2 && List()->GetCurSel() == 0; }));
  EXPECT_NE(Calls().find("uninstall 生存 a"), std::string::npos);
  EXPECT_EQ(ItemId(0), QStringLiteral("c"));
  EXPECT_EQ(ItemId(1), QStringLiteral("b"));
  ASSERT_EQ(frame.Mods()->InstalledMods().size(), 2u);
  EXPECT_EQ(frame.Mods()->InstalledMods()[0].mod.id, "c");
  EXPECT_EQ(Text("LB_ModName"), QStringLiteral("c"));

  // A removal the tool refuses leaves items and entries as they are.
  Write("uninstall-fails", "");
  ClickItem(1);
  harness_.Click("Btn_DelMod");
  test::Pump(50);
  EXPECT_NE(Calls().find("uninstall 生存 b"), std::string::npos);
  EXPECT_EQ(List()->GetCount(), 2);
  EXPECT_EQ(ItemId(1), QStringLiteral("b"));
  EXPECT_EQ(frame.Mods()->InstalledMods()[1].mod.id, "b");
}

TEST_F(ModPageWithStandInTool, OnlyWebLinksAreOpened) {
  std::vector<std::string> opened;
  harness_.Services().openUrl = [&](const std::string& address) {
    opened.push_back(address);
    return true;
  };
  CFrameWnd& frame = harness_.Open();
  CTextUI linker;
  linker.SetName(QStringLiteral("Txt_ModLinker"));
  for (const char* text : {"{a}{f 3}https://mods.example/jei{/f}{/a}", "{a}{f 3}{/f}{/a}",
                           "{a}{f 3}file:///etc/passwd{/f}{/a}", "{a}{f 3}/usr/bin/xterm{/f}{/a}"}) {
    linker.SetText(QString::fromUtf8(text));
    TNotifyUI msg;
    msg.sType = kNotifyLink;
    msg.pSender = &linker;
    frame.Notify(msg);
  }
  EXPECT_EQ(opened, std::vector<std::string>{"https://mods.example/jei"});
}

}  // namespace
}  // namespace kv
