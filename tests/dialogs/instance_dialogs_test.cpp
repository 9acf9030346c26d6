// The add-instance and rename dialogs on their own: what they offer, what they refuse and why,
// and what they register.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "dialogs/add_instance_wnd.h"
#include "dialogs/rename_ins_wnd.h"
#include "game/game_layout.h"
#include "settings/instance_commands.h"
#include "settings/instance_list.h"
#include "uilib/edit.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/ui_cast.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

class InstanceDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }

  // The dialog's version list: the official one of the fixtures, or none when `listOffered_`
  // is off (no network, no copy).
  VersionListRefresh Refresh() {
    return [this](const std::string& gamePath) {
      ++fetches_;
      if (listOffered_) test::WriteFile(VersionListPath(gamePath), test::ReadFixture("versions/modern/version_manifest_v2.json"));
      return listOffered_;
    };
  }

  // Runs the add dialog; `script` acts once the version list is in.
  int RunAddDialog(CAddInstanceWnd& dialog, const std::function<void()>& script) {
    EXPECT_TRUE(dialog.CreateFor(nullptr));
    QTimer::singleShot(0, [&] {
      EXPECT_TRUE(test::PumpUntil([&] { return fetches_ > 0 && !dialog.Busy(); }));
      test::Pump(30);
      script();
      // A script that stopped half-way (a failed assertion) leaves the dialog closed with -1.
      dialog.Close(-1);
    });
    return dialog.ShowModal();
  }

  // Presses OK with `name` and returns the message it brought (empty when none came).
  static QString TryName(CWindowWnd& dialog, const QString& name, const char* ok) {
    test::MessageAnswerer answerer("okbtn");
    test::ControlOf(&dialog, "Ed_InstanceName")->SetText(name);
    test::ClickControlOf(&dialog, ok);
    test::PumpUntil([&] { return !answerer.Texts().empty(); }, 1000);
    return answerer.Texts().empty() ? QString() : answerer.Texts().front();
  }

  test::TempFolder home_;
  std::string settings_ = home_ / "KvCfg.ini";
  std::string game_ = home_ / ".minecraft/";
  std::atomic<int> fetches_{0};
  bool listOffered_ = true;
};

TEST_F(InstanceDialogs, TheAddDialogOffersTheListsFirstVersionAndRefusesWhatCannotBeAnInstance) {
  ASSERT_EQ(AddInstance(settings_, game_, "Survival", "1.7.10").status, InstanceCommandStatus::Done);
  CAddInstanceWnd dialog(settings_, Refresh());
  const int result = RunAddDialog(dialog, [&] {
    EXPECT_EQ(test::TextOf(&dialog, "Ed_Version"), QStringLiteral("26.2-pre-2"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_InstanceName"), QString());
    EXPECT_EQ(dialog.Manifest().entries.size(), 891u);
    const std::pair<QString, std::string> refusals[] = {
        {QString(), msg::kNameEmpty},
        {QStringLiteral("Survival"), msg::kInstanceDuplicate},
        {QStringLiteral("SURVIVAL"), msg::kInstanceDuplicateCase},
        {QStringLiteral("游戏😀"), msg::kNameNotInSettingsFile},
        {QStringLiteral("a/b"), msg::kNameSeparator},
        {QString(51, QChar(u'x')), msg::kNameTooLong},
    };
    for (const auto& [name, reason] : refusals) {
      EXPECT_EQ(TryName(dialog, name, "Btn_OK"), QString::fromStdString(reason)) << name.toStdString();
      EXPECT_TRUE(dialog.GetHWND()->isVisible());
    }
    test::ControlOf(&dialog, "Ed_InstanceName")->SetText(QStringLiteral("创造 2"));
    test::Pump(20);
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("add_instance_dialog"));
    test::ClickControlOf(&dialog, "Btn_OK");
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(fetches_, 1);
  EXPECT_EQ(dialog.ResultName(), "创造 2");
  EXPECT_EQ(dialog.ResultVersion(), "26.2-pre-2");
  CInstanceList list(settings_, false);
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.GetVersion("创造 2"), "26.2-pre-2");
  EXPECT_TRUE(PathExists(home_ / "Instance/创造 2/"));
  EXPECT_FALSE(PathExists(home_ / "Instance/SURVIVAL/"));
}

TEST_F(InstanceDialogs, TheAddDialogTakesTheNameAtOnceAndAnswersEnterAndEscape) {
  CAddInstanceWnd cancelled(settings_, Refresh());
  EXPECT_EQ(RunAddDialog(cancelled, [&] { test::KeyClick(cancelled.GetHWND(), Qt::Key_Escape); }), IDCANCEL);

  CAddInstanceWnd dialog(settings_, Refresh());
  const int result = RunAddDialog(dialog, [&] {
    // The cursor waits in the name field: what the player types lands there.
    auto* name = ui_cast<CEditUI>(test::ControlOf(&dialog, "Ed_InstanceName"));
    QWidget* typing = dialog.GetHWND()->focusWidget();
    ASSERT_NE(typing, nullptr);
    EXPECT_EQ(typing, name->GetNativeEdit());
    QTest::keyClicks(typing, QStringLiteral("Survival"));
    test::Pump(20);
    EXPECT_EQ(test::TextOf(&dialog, "Ed_InstanceName"), QStringLiteral("Survival"));
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("add_instance_typing"));
    QTest::keyClick(typing, Qt::Key_Return);
    test::Pump();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(CInstanceList(settings_, false).GetVersion("Survival"), "26.2-pre-2");
}

TEST_F(InstanceDialogs, ANameTooLongIsRefusedWithTheReasonAndNeverCut) {
  const QString tooLong(51, QChar(u'x'));
  CAddInstanceWnd add(settings_, Refresh());
  EXPECT_EQ(RunAddDialog(add, [&] {
              test::TypeInto(add, test::ControlOf(&add, "Ed_InstanceName"), tooLong);
              EXPECT_EQ(test::TextOf(&add, "Ed_InstanceName"), tooLong);
              EXPECT_EQ(TryName(add, tooLong, "Btn_OK"), QString::fromUtf8(msg::kNameTooLong));
              test::ClickControlOf(&add, "Btn_Cancel");
            }),
            IDCANCEL);
  EXPECT_TRUE(CInstanceList(settings_, false).Entries().empty());

  ASSERT_EQ(AddInstance(settings_, game_, "生存", "1.7.10").status, InstanceCommandStatus::Done);
  CRenameInsWnd rename(settings_);
  ASSERT_TRUE(rename.CreateFor(nullptr));
  rename.SetCurrentName("生存");
  QTimer::singleShot(0, [&] {
    if (test::PumpUntil([&] { return test::TextOf(&rename, "Ed_InstanceName") == QStringLiteral("生存"); })) {
      test::TypeInto(rename, test::ControlOf(&rename, "Ed_InstanceName"), tooLong);
      EXPECT_EQ(test::TextOf(&rename, "Ed_InstanceName"), tooLong);
      EXPECT_EQ(TryName(rename, tooLong, "Btn_Ok"), QString::fromUtf8(msg::kNameTooLong));
      test::KeyClick(rename.GetHWND(), Qt::Key_Escape);
    }
    rename.Close(-1);
  });
  EXPECT_EQ(rename.ShowModal(), IDCANCEL);
  EXPECT_EQ(CInstanceList(settings_, false).IndexOf("生存"), 0);
}

TEST_F(InstanceDialogs, WithoutAVersionListNoInstanceIsAddedWithoutAVersion) {
  listOffered_ = false;
  CAddInstanceWnd dialog(settings_, Refresh());
  const int result = RunAddDialog(dialog, [&] {
    EXPECT_EQ(test::TextOf(&dialog, "Ed_Version"), QString());
    EXPECT_EQ(TryName(dialog, QStringLiteral("生存"), "Btn_OK"), QString::fromUtf8(msg::kVersionNotChosen));
    test::ClickControlOf(&dialog, "Btn_Cancel");
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(CInstanceList(settings_, false).Entries().empty());
  EXPECT_FALSE(PathExists(home_ / "Instance/生存/"));
}

TEST_F(InstanceDialogs, RenamingKeepsThePlaceAndRefusesWhatAddingRefuses) {
  for (const char* name : {"first", "生存", "Other"}) {
    ASSERT_EQ(AddInstance(settings_, game_, name, "1.7.10").status, InstanceCommandStatus::Done);
  }
  test::WriteFile(home_ / "Instance/生存/saves/world.dat", "saved");
  const auto run = [&](const std::function<void(CRenameInsWnd&)>& script) {
    CRenameInsWnd dialog(settings_);
    EXPECT_TRUE(dialog.CreateFor(nullptr));
    dialog.SetCurrentName("生存");
    QTimer::singleShot(0, [&] {
      if (test::PumpUntil([&] { return test::TextOf(&dialog, "Ed_InstanceName") == QStringLiteral("生存"); })) {
        script(dialog);
      }
      dialog.Close(-1);
    });
    const int result = dialog.ShowModal();
    return std::make_pair(result, dialog.NewName());
  };

  // Unchanged: nothing to do, the dialog goes like Cancel.
  EXPECT_EQ(run([](CRenameInsWnd& dialog) { test::ClickControlOf(&dialog, "Btn_Ok"); }).first, IDCANCEL);

  const auto [result, newName] = run([&](CRenameInsWnd& dialog) {
    const std::pair<QString, std::string> refusals[] = {
        {QString(), msg::kNameEmpty},
        {QStringLiteral("Other"), msg::kInstanceDuplicate},
        {QStringLiteral("other"), msg::kInstanceDuplicateCase},
        {QStringLiteral("a:b"), msg::kNameForbiddenCharacter},
        {QString(51, QChar(u'x')), msg::kNameTooLong},
    };
    for (const auto& [name, reason] : refusals) {
      EXPECT_EQ(TryName(dialog, name, "Btn_Ok"), QString::fromStdString(reason)) << name.toStdString();
    }
    // The add dialog's limit: 50 characters.
    test::ControlOf(&dialog, "Ed_InstanceName")->SetText(QStringLiteral("生存 世界"));
    test::Pump(20);
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("rename_dialog"));
    // Enter in the field confirms.
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_InstanceName"), QString(50, QChar(u'名')));
    QTest::keyClick(dialog.GetHWND()->focusWidget(), Qt::Key_Return);
  });
  EXPECT_EQ(result, IDOK);
  const std::string renamed = QString(50, QChar(u'名')).toStdString();
  EXPECT_EQ(newName, renamed);
  CInstanceList list(settings_, false);
  EXPECT_EQ(list.IndexOf(renamed), 1);
  EXPECT_EQ(list.GetVersion(renamed), "1.7.10");
  EXPECT_EQ(test::ReadFile(home_ / "Instance/" + renamed + "/saves/world.dat"), "saved");
  EXPECT_FALSE(PathExists(home_ / "Instance/生存/"));
}

}  // namespace
}  // namespace kv
