// The add-instance dialog's loader row with stand-ins for the loaders' lists and installation:
// what it offers for a game version, how it shows a loader without builds or a list that
// failed, and what OK installs and registers.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

#include "dialogs/add_instance_wnd.h"
#include "dialogs/version_wnd.h"
#include "game/game_layout.h"
#include "settings/instance_list.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/combo.h"
#include "uilib/list.h"
#include "uilib/ui_cast.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

class LoaderRow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }

  LoaderServices Services() {
    LoaderServices services;
    services.listVersions = [this](LoaderKind kind, const std::string& gameVersion) -> LoaderVersionList {
      {
        std::lock_guard lock(mutex_);
        listed_.push_back(gameVersion);
        offGuiThread_ = offGuiThread_ && std::this_thread::get_id() != guiThread_;
      }
      switch (kind) {
        case LoaderKind::Fabric:
          return std::vector<LoaderVersion>{{"0.16.10", true}, {"0.16.9", true}, {"0.17.0-beta.1", false}};
        case LoaderKind::Quilt:
          return std::vector<LoaderVersion>{};
        case LoaderKind::Forge:
          return std::vector<LoaderVersion>{{"47.4.23", false, false}, {"47.4.10", false, true}};
        case LoaderKind::NeoForge:
          break;
      }
      return Fail(FailureKind::Unreachable, msg::LoaderListFailed("NeoForge", "HTTP 503"));
    };
    services.install = [this](const LoaderInstallRequest& request, InstallSink& sink) -> Result<std::string> {
      requests_.push_back(request);
      sink.OnStep(InstallStep::Libraries, 8, 8);
      if (!installFailure_.empty()) return Fail(FailureKind::Other, installFailure_);
      return "fabric-loader-" + request.loaderVersion + "-" + request.gameVersion;
    };
    return services;
  }

  std::vector<std::string> Listed() {
    std::lock_guard lock(mutex_);
    return listed_;
  }

  // Runs the add dialog; `script` acts once the version list is in.
  int Run(CAddInstanceWnd& dialog, const std::function<void()>& script) {
    EXPECT_TRUE(dialog.CreateFor(nullptr));
    QTimer::singleShot(0, [&] {
      if (test::PumpUntil([&] { return !dialog.Busy() && !test::TextOf(&dialog, "Ed_Version").isEmpty(); })) script();
      dialog.Close(-1);
    });
    return dialog.ShowModal();
  }

  static CComboUI* Combo(CAddInstanceWnd& dialog, const char* name) {
    return ui_cast<CComboUI>(test::ControlOf(&dialog, name));
  }
  static std::vector<QString> Items(CComboUI* combo) {
    std::vector<QString> texts;
    for (int i = 0; i < combo->GetCount(); ++i) texts.push_back(combo->GetItemAt(i)->GetText());
    return texts;
  }
  // Chooses a loader as the player does and waits until the row has settled.
  static void ChooseLoader(CAddInstanceWnd& dialog, int index) {
    Combo(dialog, "CBox_Loader")->SelectItem(index);
    test::Pump(20);
    EXPECT_TRUE(test::PumpUntil([&] { return !dialog.Busy(); }));
    test::Pump(20);
  }
  // Presses OK and returns the message it brought (empty when none came).
  static QString PressOk(CAddInstanceWnd& dialog) {
    test::MessageAnswerer answerer("okbtn");
    test::ClickControlOf(&dialog, "Btn_OK");
    test::PumpUntil([&] { return !answerer.Texts().empty() || !dialog.GetHWND() || !dialog.GetHWND()->isVisible(); }, 2000);
    return answerer.Texts().empty() ? QString() : answerer.Texts().front();
  }

  VersionListRefresh Refresh() {
    return [](const std::string& gamePath) {
      test::WriteFile(VersionListPath(gamePath), test::ReadFixture("versions/modern/version_manifest_v2.json"));
      return true;
    };
  }

  test::TempFolder home_;
  std::string settings_ = home_ / "KvCfg.ini";
  std::mutex mutex_;
  std::vector<std::string> listed_;
  const std::thread::id guiThread_ = std::this_thread::get_id();
  bool offGuiThread_ = true;
  std::vector<LoaderInstallRequest> requests_;
  std::string installFailure_;
};

TEST_F(LoaderRow, EveryLoadersVersionsForTheGameVersionAndWhatOkInstalls) {
  CAddInstanceWnd dialog(settings_, Refresh(), Services());
  const int result = Run(dialog, [&] {
    CComboUI* kind = Combo(dialog, "CBox_Loader");
    CComboUI* version = Combo(dialog, "CBox_LoaderVersion");
    // Vanilla until a loader is chosen; nothing is fetched for it.
    EXPECT_EQ(kind->GetText(), QStringLiteral("无"));
    EXPECT_FALSE(version->IsEnabled());
    EXPECT_TRUE(Listed().empty());

    ChooseLoader(dialog, 1);
    EXPECT_EQ(Listed(), std::vector<std::string>(4, "26.2-pre-2"));
    EXPECT_TRUE(offGuiThread_);
    EXPECT_EQ(Items(kind), (std::vector<QString>{QStringLiteral("无"), QStringLiteral("Fabric"),
                                                 QStringLiteral("Quilt（不可用）"), QStringLiteral("Forge"),
                                                 QStringLiteral("NeoForge")}));
    EXPECT_EQ(Items(version), (std::vector<QString>{QStringLiteral("0.16.10（稳定版）"), QStringLiteral("0.16.9（稳定版）"),
                                                    QStringLiteral("0.17.0-beta.1")}));
    EXPECT_EQ(version->GetCurSel(), 0);
    EXPECT_TRUE(version->IsEnabled());
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("add_instance_loader_row"));

    // Another loader: the lists are in; Forge's recommended build is the one offered.
    ChooseLoader(dialog, 3);
    EXPECT_EQ(Items(version), (std::vector<QString>{QStringLiteral("47.4.23"), QStringLiteral("47.4.10（推荐）")}));
    EXPECT_EQ(version->GetCurSel(), 1);
    ChooseLoader(dialog, 2);
    EXPECT_FALSE(version->IsEnabled());
    EXPECT_EQ(test::TextOf(&dialog, "LB_LoaderState"), QStringLiteral("Quilt 没有适用于 26.2-pre-2 的版本"));
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("add_instance_loader_unavailable"));
    EXPECT_EQ(PressOk(dialog), QString::fromUtf8(msg::kNameEmpty));  // the name is asked for first
    test::ControlOf(&dialog, "Ed_InstanceName")->SetText(QStringLiteral("织布"));
    EXPECT_EQ(PressOk(dialog), QStringLiteral("Quilt 没有适用于 26.2-pre-2 的版本"));
    ChooseLoader(dialog, 4);
    EXPECT_EQ(test::TextOf(&dialog, "LB_LoaderState"), QStringLiteral("无法获取 NeoForge 的版本列表（HTTP 503）"));
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("add_instance_loader_list_failed"));
    EXPECT_EQ(Listed().size(), 4u);

    ChooseLoader(dialog, 1);
    version->SelectItem(1);
    EXPECT_EQ(PressOk(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].kind, LoaderKind::Fabric);
  EXPECT_EQ(requests_[0].loaderVersion, "0.16.9");
  EXPECT_EQ(requests_[0].gameVersion, "26.2-pre-2");
  EXPECT_EQ(dialog.ResultVersion(), "fabric-loader-0.16.9-26.2-pre-2");
  EXPECT_EQ(CInstanceList(settings_, false).GetVersion("织布"), "fabric-loader-0.16.9-26.2-pre-2");
}

TEST_F(LoaderRow, AFailedInstallationAddsNothing) {
  installFailure_ = msg::DownloadFailed("intermediary-1.21.1.jar", "HTTP 404");
  CAddInstanceWnd dialog(settings_, Refresh(), Services());
  const int result = Run(dialog, [&] {
    test::ControlOf(&dialog, "Ed_InstanceName")->SetText(QStringLiteral("织布"));
    ChooseLoader(dialog, 1);
    EXPECT_EQ(PressOk(dialog), QString::fromStdString(installFailure_));
    EXPECT_TRUE(dialog.GetHWND()->isVisible());
    ChooseLoader(dialog, 3);
    EXPECT_EQ(PressOk(dialog), QString::fromStdString(installFailure_));
    test::ClickControlOf(&dialog, "Btn_Cancel");
  });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[1].kind, LoaderKind::Forge);
  EXPECT_EQ(requests_[1].loaderVersion, "47.4.10");
  EXPECT_TRUE(CInstanceList(settings_, false).Entries().empty());
  EXPECT_FALSE(PathExists(home_ / "Instance/织布/"));
}

TEST_F(LoaderRow, AnotherGameVersionBringsItsOwnLists) {
  CAddInstanceWnd dialog(settings_, Refresh(), Services());
  const int result = Run(dialog, [&] {
    ChooseLoader(dialog, 1);
    ASSERT_EQ(Listed().size(), 4u);
    // The picker, once it shows the list, chooses its sixth version; one that cannot be chosen
    // from is cancelled after a while, so that the test fails instead of waiting for ever.
    std::string picked;
    QElapsedTimer waited;
    waited.start();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      auto* picker = static_cast<CVersionWnd*>(test::FindOpenWindow(QStringLiteral("KvVersionWnd")));
      if (!picked.empty() || !picker || picker->Filling()) return;
      if (waited.elapsed() > 20000) {
        picker->Close(IDCANCEL);
        return;
      }
      watch.stop();
      test::Pump(30);
      picker->GetPaintManager().UpdateLayout();
      auto* list = ui_cast<CListUI>(test::ControlOf(picker, "List_Version"));
      test::Click(*picker, list->GetItemAt(5));
      picked = picker->SelectedVersion();
      test::ClickControlOf(picker, "Btn_OK");
      watch.start(10);
    });
    watch.start(10);
    test::ClickControlOf(&dialog, "Btn_SelectVersion");
    watch.stop();
    ASSERT_FALSE(picked.empty());
    EXPECT_TRUE(test::PumpUntil([&] { return !dialog.Busy() && Listed().size() == 8u; }));
    EXPECT_EQ(Listed().back(), picked);
    EXPECT_EQ(Combo(dialog, "CBox_LoaderVersion")->GetCount(), 3);
    test::ClickControlOf(&dialog, "Btn_Cancel");
  });
  EXPECT_EQ(result, IDCANCEL);
}

}  // namespace
}  // namespace kv
