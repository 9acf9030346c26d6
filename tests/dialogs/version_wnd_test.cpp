// The version picker: the whole official list with each version's type, picking by OK or a
// double click (also while the list still fills), and refreshing.
#include "dialogs/version_wnd.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <json/json.h>

#include "dialogs/add_instance_wnd.h"
#include "game/game_layout.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/list.h"
#include "uilib/ui_cast.h"

namespace kv {
namespace {

using namespace ui;

// A version list of `count` versions named "<prefix><n>".
std::string ManyVersions(int count, const std::string& prefix) {
  Json::Value list;
  list["latest"]["release"] = prefix + "0";
  for (int i = 0; i < count; ++i) {
    Json::Value entry;
    entry["id"] = prefix + std::to_string(i);
    entry["type"] = i % 2 == 0 ? "release" : "snapshot";
    list["versions"].append(entry);
  }
  return Json::writeString(Json::StreamWriterBuilder(), list);
}

class VersionPicker : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
    Offer(test::ReadFixture("versions/modern/version_manifest_v2.json"));
    owner_.ReadVersionList();
  }

  // What the next refresh stores.
  void Offer(const std::string& list) { test::WriteFile(VersionListPath(home_ / ".minecraft/"), list); }

  // The list, laid out, so that its rows stand where a click finds them.
  CListUI* List(CVersionWnd& picker) {
    picker.GetPaintManager().UpdateLayout();
    return ui_cast<CListUI>(test::ControlOf(&picker, "List_Version"));
  }

  // Runs the picker; `script` acts once it is up. A script that stopped half-way (a failed
  // assertion) leaves the picker closed with -1.
  int Run(CVersionWnd& picker, const std::function<void()>& script) {
    EXPECT_TRUE(picker.CreateFor(nullptr));
    QTimer::singleShot(0, [&] {
      if (test::PumpUntil([&] { return picker.GetHWND()->isVisible(); })) script();
      picker.Close(-1);
    });
    return picker.ShowModal();
  }

  test::TempFolder home_;
  int refreshes_ = 0;
  std::string nextList_;
  CAddInstanceWnd owner_{home_ / "KvCfg.ini", [this](const std::string&) {
                           ++refreshes_;
                           if (!nextList_.empty()) Offer(nextList_);
                           return true;
                         }};
};

TEST_F(VersionPicker, ShowsTheWholeOfficialListWithTypesAndWaitsForAChoice) {
  CVersionWnd picker(owner_);
  const int result = Run(picker, [&] {
    ASSERT_TRUE(test::PumpUntil([&] { return !picker.Filling() && picker.ShownVersions().size() == 891; }));
    CListUI* list = List(picker);
    ASSERT_EQ(list->GetCount(), 891);
    auto row = [&](int i) { return static_cast<CListTextElementUI*>(list->GetItemAt(i)); };
    EXPECT_EQ(row(0)->GetText(0), QStringLiteral("26.2-pre-2"));
    // The types as players call them.
    EXPECT_EQ(row(0)->GetText(1), QStringLiteral("快照"));
    const auto& versions = picker.ShownVersions();
    const auto release = std::find_if(versions.begin(), versions.end(), [](const ManifestEntry& v) { return v.type == "release"; });
    ASSERT_NE(release, versions.end());
    EXPECT_EQ(row(static_cast<int>(release - versions.begin()))->GetText(1), QStringLiteral("正式版"));
    EXPECT_EQ(row(890)->GetText(1), QStringLiteral("远古版本 (Alpha)"));
    test::Pump(30);
    test::SaveScreenshot(picker.GetHWND(), QStringLiteral("version_picker"));
    // OK before any choice does nothing.
    test::ClickControlOf(&picker, "Btn_OK");
    test::Pump(30);
    EXPECT_TRUE(picker.GetHWND()->isVisible());
    // A choice, then OK.
    test::Click(picker, row(5));
    EXPECT_EQ(picker.SelectedVersion(), picker.ShownVersions()[5].id);
    test::ClickControlOf(&picker, "Btn_OK");
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(refreshes_, 0);
}

TEST_F(VersionPicker, EscapeCancelsAndEnterTakesTheChosenVersion) {
  CVersionWnd cancelled(owner_);
  EXPECT_EQ(Run(cancelled, [&] { test::KeyClick(cancelled.GetHWND(), Qt::Key_Escape); }), IDCANCEL);

  CVersionWnd picker(owner_);
  const int result = Run(picker, [&] {
    ASSERT_TRUE(test::PumpUntil([&] { return List(picker)->GetCount() > 3; }));
    // Enter without a choice changes nothing; the arrows choose from the list.
    test::KeyClick(picker.GetHWND(), Qt::Key_Return);
    EXPECT_TRUE(picker.GetHWND()->isVisible());
    test::Click(picker, List(picker)->GetItemAt(1));
    test::KeyClick(picker.GetHWND(), Qt::Key_Down);
    EXPECT_EQ(picker.SelectedVersion(), picker.ShownVersions()[2].id);
    test::KeyClick(picker.GetHWND(), Qt::Key_Return);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(picker.SelectedVersion(), owner_.Manifest().entries[2].id);
}

TEST_F(VersionPicker, IdsAreTextNeverMarkup) {
  Offer(R"({"versions":[{"id":"{b}1.0{/b}","type":"<i>release</i>"},{"id":"{a http://x}link{/a}","type":"old_beta"}]})");
  owner_.ReadVersionList();
  CVersionWnd picker(owner_);
  const int result = Run(picker, [&] {
    ASSERT_TRUE(test::PumpUntil([&] { return List(picker)->GetCount() == 2; }));
    EXPECT_FALSE(List(picker)->GetListInfo()->showHtml);
    // A type the launcher does not know is shown as the list names it.
    EXPECT_EQ(static_cast<CListTextElementUI*>(List(picker)->GetItemAt(0))->GetText(1), QStringLiteral("<i>release</i>"));
    test::DoubleClick(picker, List(picker)->GetItemAt(1));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(picker.SelectedVersion(), "{a http://x}link{/a}");
}

TEST_F(VersionPicker, ADoubleClickWhileTheListFillsTakesThatVersion) {
  Offer(ManyVersions(20000, "v"));
  owner_.ReadVersionList();
  CVersionWnd picker(owner_);
  const int result = Run(picker, [&] {
    ASSERT_TRUE(test::PumpUntil([&] { return List(picker)->GetCount() >= 10; }));
    ASSERT_TRUE(picker.Filling());
    test::DoubleClick(picker, List(picker)->GetItemAt(3));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(picker.SelectedVersion(), "v3");
  // The batches still queued went with the window.
  test::Pump(50);
}

TEST_F(VersionPicker, RefreshingDownloadsAgainAndShowsTheNewListOnce) {
  Offer(ManyVersions(20000, "old-"));
  owner_.ReadVersionList();
  nextList_ = ManyVersions(3000, "new-");
  CVersionWnd picker(owner_);
  const int result = Run(picker, [&] {
    ASSERT_TRUE(test::PumpUntil([&] { return List(picker)->GetCount() >= 10; }));
    test::Click(picker, List(picker)->GetItemAt(2));
    EXPECT_EQ(picker.SelectedVersion(), "old-2");
    // Twice while the list fills: two downloads, one list.
    test::ClickControlOf(&picker, "Btn_Refresh");
    EXPECT_EQ(picker.SelectedVersion(), "");
    test::ClickControlOf(&picker, "Btn_Refresh");
    ASSERT_TRUE(test::PumpUntil([&] { return !picker.Filling(); }, 10000));
    CListUI* list = List(picker);
    ASSERT_EQ(list->GetCount(), 3000);
    EXPECT_EQ(static_cast<CListTextElementUI*>(list->GetItemAt(2999))->GetText(0), QStringLiteral("new-2999"));
    // A new list starts without a choice.
    test::ClickControlOf(&picker, "Btn_OK");
    test::Pump(30);
    EXPECT_TRUE(picker.GetHWND()->isVisible());
    test::ClickControlOf(&picker, "Btn_Cancel");
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(refreshes_, 2);
}

}  // namespace
}  // namespace kv
