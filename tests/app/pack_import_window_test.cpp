// Importing a modpack from the launcher window: chosen through the instance menu's file dialog,
// or dropped on the window; its files fetched in the download window from korvane-mirror.
#include <gtest/gtest.h>
#include <json/json.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "app/instance_tiles.h"
#include "settings/instance_list.h"
#include "tests/app/frame_harness.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/dialogs/window_action.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/scoped_environment.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/container.h"
#include "util/digest.h"
#include "util/files.h"

namespace kv {
namespace {

using namespace ui;

// Answers the pack dialog with one path, or cancels when it has none.
class PackPicker : public FilePickers {
 public:
  bool BrowseForExecutable(HWND, std::vector<std::string>&) override { return false; }
  bool BrowseForFolder(const QString&, std::string&, HWND) override { return false; }
  bool BrowseForSaveFile(const QString&, std::string&, HWND) override { return false; }
  bool BrowseForPack(HWND, std::string& path) override {
    ++asked;
    if (pack.empty()) return false;
    path = pack;
    return true;
  }
  std::string pack;
  int asked = 0;
};

class PackImportWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
    harness_.Services().pickers = picker_;
    harness_.AddInstance("生存", "1.7.10");
  }

  // A pack named `name` of `count` files on the stand-in host, one of them optional.
  std::string MakePack(const std::string& name, int count) {
    Json::Value index;
    index["formatVersion"] = 1;
    index["game"] = "minecraft";
    index["name"] = name;
    index["versionId"] = "1.0";
    index["dependencies"]["minecraft"] = "1.7.10";
    for (int i = 0; i < count; ++i) {
      const std::string path = "mods/" + name + "-" + std::to_string(i) + ".jar";
      const std::string bytes = test::TestBytes(30000, static_cast<unsigned>(i + 1));
      test::WriteFile(served_ / ("cdn.example/" + path), bytes);
      Json::Value entry;
      entry["path"] = path;
      entry["hashes"]["sha512"] = HexDigestOf(DigestKind::Sha512, bytes);
      entry["fileSize"] = static_cast<Json::Int64>(bytes.size());
      entry["downloads"].append("https://cdn.example/" + path);
      if (i == 0) entry["env"]["client"] = "optional";
      index["files"].append(entry);
    }
    const std::string pack = harness_.Home() / (name + ".mrpack");
    test::MakeZip(pack, {{"modrinth.index.json", Json::FastWriter().write(index)}, {"overrides/options.txt", "lang:zh_cn"}});
    return pack;
  }

  // Right-clicks the first tile; the instance menu opens.
  void OpenInstanceMenu() {
    CFrameWnd& frame = harness_.Frame();
    test::ClickAt(frame.GetHWND(), test::CenterOf(frame.InstanceTiles()->GetItemAt(0)), Qt::RightButton);
    ASSERT_TRUE(test::PumpUntil([] { return test::FindOpenWindow(QStringLiteral("MenuWnd")) != nullptr; }));
    test::Pump(10);
  }

  int TileCount() { return harness_.Frame().InstanceTiles()->GetCount(); }
  bool Registered(const std::string& name) { return CInstanceList(harness_.SettingsPath(), false).Contains(name); }

  test::FrameHarness harness_;
  std::shared_ptr<PackPicker> picker_ = std::make_shared<PackPicker>();
  test::TempFolder served_;
};

TEST_F(PackImportWindow, ChosenFromTheInstanceMenuAndFetchedInTheDownloadWindow) {
  picker_->pack = MakePack("灯笼", 12);
  // Slow answers, so that the download window stays open long enough to be seen at work.
  test::MirrorProcess mirror(served_.Path(), {"--delay", "300"});
  ASSERT_TRUE(mirror.Started());
  test::ScopedEnvironment root("KORVANE_OFFICIAL_ROOT", mirror.BaseUrl());
  CFrameWnd& frame = harness_.Open();
  test::MessageAnswerer answerer("okbtn");
  test::WindowAction download(
      "KvDownLoadWnd",
      [&frame](CWindowWnd& window) {
        test::SaveScreenshot(frame.GetHWND(), {window.GetHWND()}, QStringLiteral("pack_import_download_window"));
      });

  OpenInstanceMenu();
  test::SaveScreenshot(frame.GetHWND(), {test::FindOpenWindow(QStringLiteral("MenuWnd"))->GetHWND()},
                       QStringLiteral("pack_import_instance_menu"));
  test::ClickControlOf(test::FindOpenWindow(QStringLiteral("MenuWnd")), "Menu_Instance_Import");

  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }, 60000)) << mirror.Log();
  EXPECT_EQ(picker_->asked, 1);
  EXPECT_EQ(download.Count(), 1);
  EXPECT_EQ(answerer.Texts()[0], QStringLiteral("已导入整合包为游戏实例 灯笼（版本 1.7.10）\n已包含可选文件: mods/灯笼-0.jar"));
  EXPECT_TRUE(Registered("灯笼"));
  // The new tile before the add tile, which stays last.
  ASSERT_EQ(TileCount(), 3);
  EXPECT_EQ(AsInstanceTile(frame.InstanceTiles()->GetItemAt(1))->GetName(), QStringLiteral("灯笼"));
  EXPECT_EQ(test::ReadFile(harness_.Home() / "Instance/灯笼/options.txt"), "lang:zh_cn");
  EXPECT_TRUE(PathExists(harness_.Home() / "Instance/灯笼/mods/灯笼-11.jar"));

  // Cancelling the file dialog imports nothing.
  picker_->pack.clear();
  OpenInstanceMenu();
  test::ClickControlOf(test::FindOpenWindow(QStringLiteral("MenuWnd")), "Menu_Instance_Import");
  test::Pump(50);
  EXPECT_EQ(picker_->asked, 2);
  EXPECT_EQ(TileCount(), 3);
}

TEST_F(PackImportWindow, ADroppedPackIsImportedAndARefusalNamesTheEntry) {
  const std::string pack = MakePack("drop", 3);
  test::MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started());
  test::ScopedEnvironment root("KORVANE_OFFICIAL_ROOT", mirror.BaseUrl());
  CFrameWnd& frame = harness_.Open();
  // Whether the window took the file, as a file manager drags it.
  const auto drop = [&frame](const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    const QPoint at = frame.GetHWND()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.GetHWND(), &enter);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.GetHWND(), &dropped);
    return enter.isAccepted() && dropped.isAccepted();
  };
  test::WriteFile(harness_.Home() / "notes.txt", "not a pack");
  EXPECT_FALSE(drop(harness_.Home() / "notes.txt"));
  {
    test::MessageAnswerer answerer("okbtn");
    EXPECT_TRUE(drop(pack));
    ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }, 60000)) << mirror.Log();
    EXPECT_TRUE(answerer.Texts()[0].startsWith(QStringLiteral("已导入整合包为游戏实例 drop"))) << answerer.Texts()[0].toStdString();
    EXPECT_TRUE(Registered("drop"));
    EXPECT_EQ(TileCount(), 3);
  }

  // A pack whose override climbs out of the instance: refused, named, nothing added.
  const std::string climbing = harness_.Home() / "climbing.mrpack";
  test::MakeZip(climbing, {{"modrinth.index.json",
                            R"({"formatVersion":1,"game":"minecraft","name":"climb","dependencies":{"minecraft":"1.7.10"},"files":[]})"},
                           {"overrides/../../escaped.txt", "x"}});
  test::MessageAnswerer answerer("okbtn");
  EXPECT_TRUE(drop(climbing));
  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }, 60000));
  EXPECT_TRUE(answerer.Texts()[0].contains(QStringLiteral("overrides/../../escaped.txt"))) << answerer.Texts()[0].toStdString();
  EXPECT_FALSE(Registered("climb"));
  EXPECT_FALSE(PathExists(harness_.Home() / "Instance/climb"));
  EXPECT_EQ(TileCount(), 3);
}

}  // namespace
}  // namespace kv
