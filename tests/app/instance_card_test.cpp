// The game page's card for the selected instance, and the player's name as the way to the
// account settings.
#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>

#include "app/instance_panel.h"
#include "settings/instance_list.h"
#include "tests/app/frame_harness.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/dialogs/window_action.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/container.h"
#include "util/files.h"

namespace kv {
namespace {

using namespace ui;

class InstanceCard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
    harness_.Services().openFolder = [this](const std::string& folder) {
      opened_.push_back(folder);
      return openSucceeds_;
    };
  }

  QString Text(const char* name) { return harness_.Find(name)->GetText(); }
  bool Shown(const char* name) { return harness_.Find(name)->IsVisible(); }

  test::FrameHarness harness_;
  std::vector<std::string> opened_;
  bool openSucceeds_ = true;
};

TEST(LastPlayedText, TodayAndYesterdayByTheTimeOthersByTheDate) {
  const QDateTime now(QDate(2024, 5, 2), QTime(9, 30));
  const auto at = [](const QDateTime& when) { return std::optional<std::int64_t>(when.toSecsSinceEpoch()); };
  EXPECT_EQ(LastPlayedText(std::nullopt, now), QStringLiteral("从未启动"));
  EXPECT_EQ(LastPlayedText(at(QDateTime(QDate(2024, 5, 2), QTime(0, 5))), now), QStringLiteral("今天 00:05"));
  EXPECT_EQ(LastPlayedText(at(QDateTime(QDate(2024, 5, 1), QTime(23, 59))), now), QStringLiteral("昨天 23:59"));
  EXPECT_EQ(LastPlayedText(at(QDateTime(QDate(2023, 12, 31), QTime(8, 0))), now),
            QStringLiteral("2023年12月31日 08:00"));
}

TEST_F(InstanceCard, ShowsTheSelectedInstancesVersionLoaderLastGameAndFolder) {
  harness_.AddInstance("整合包", "1.20.1-forge-47.1.0");
  harness_.AddInstance("原版", "1.20.1");
  const auto played = std::chrono::system_clock::now() - std::chrono::minutes(3);
  ASSERT_TRUE(CInstanceList(harness_.SettingsPath(), false).SetLastPlayed("整合包", played));
  CFrameWnd& frame = harness_.Open();

  EXPECT_EQ(Text("LB_InstanceName"), QStringLiteral("整合包"));
  EXPECT_EQ(Text("LB_InstanceVersion"), QStringLiteral("1.20.1-forge-47.1.0"));
  EXPECT_EQ(Text("LB_InstanceLoader"), QStringLiteral("Forge"));
  const std::int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(played.time_since_epoch()).count();
  EXPECT_EQ(Text("LB_LastPlayed"), LastPlayedText(seconds, QDateTime::currentDateTime()));
  const QString folder = QDir::toNativeSeparators(QString::fromStdString(harness_.Home() / "Instance/整合包"));
  EXPECT_EQ(Text("LB_InstanceFolder"), folder);
  test::SaveScreenshot(frame.GetHWND(), QStringLiteral("instance_card"));

  // Another tile: a version that names no loader, never played.
  test::Click(frame, frame.InstanceTiles()->GetItemAt(1));
  EXPECT_EQ(Text("LB_InstanceName"), QStringLiteral("原版"));
  EXPECT_EQ(Text("LB_InstanceLoader"), QStringLiteral("无"));
  EXPECT_EQ(Text("LB_LastPlayed"), QStringLiteral("从未启动"));

  // The folder button opens the folder, made again when it has gone.
  std::filesystem::remove_all(harness_.Home() / "Instance/原版");
  harness_.Click("Btn_OpenFolder");
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], harness_.Home() / "Instance/原版");
  EXPECT_TRUE(PathExists(harness_.Home() / "Instance/原版"));

  // A desktop that cannot show it: the player is told which folder it was.
  openSucceeds_ = false;
  test::MessageAnswerer answerer("okbtn");
  harness_.Click("Btn_OpenFolder");
  ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
  const QString folderShown = QString::fromStdString(harness_.Home() / "Instance/原版");
  EXPECT_TRUE(answerer.Texts()[0].endsWith(folderShown)) << answerer.Texts()[0].toStdString();
}

TEST_F(InstanceCard, WithoutASelectionItSaysSoAndThePlayersNameOpensTheAccountSettings) {
  harness_.Open();
  EXPECT_EQ(Text("LB_InstanceName"), QStringLiteral("未选择游戏实例"));
  EXPECT_FALSE(Shown("VL_InstanceDetails"));

  test::WindowAction cancel("KvSetWnd", [](CWindowWnd& dialog) { test::ClickControlOf(&dialog, "Btn_Cancel"); });
  harness_.Click("LB_UserName");
  EXPECT_TRUE(test::PumpUntil([&] { return cancel.Count() == 1; }));
}

}  // namespace
}  // namespace kv
