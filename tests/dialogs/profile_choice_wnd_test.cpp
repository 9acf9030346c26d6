#include "dialogs/profile_choice_wnd.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>

#include "tests/uilib/gui_test_support.h"
#include "uilib/list.h"
#include "uilib/ui_cast.h"

namespace kv {
namespace {

using namespace ui;

// Runs the dialog over the account's three profiles and does `action` once it is up.
std::optional<std::size_t> Choose(const std::function<void(CProfileChoiceWnd&, CListUI&)>& action,
                                  const QString& shotName = {}) {
  CProfileChoiceWnd dialog({QStringLiteral("Alex"), QStringLiteral("史蒂夫"), QStringLiteral("Noor")});
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(test::PumpUntil([&] { return dialog.GetHWND() && dialog.GetHWND()->isVisible(); }));
    test::Pump(30);
    if (!shotName.isEmpty()) test::SaveScreenshot(dialog.GetHWND(), shotName);
    CControlUI* list = dialog.GetPaintManager().FindControl(QStringLiteral("List_Profiles"));
    ASSERT_NE(list, nullptr);
    action(dialog, *ui_cast<CListUI>(list));
  });
  return dialog.Run(nullptr);
}

void ClickNamed(CProfileChoiceWnd& dialog, const char* name) {
  test::Click(dialog, dialog.GetPaintManager().FindControl(QString::fromLatin1(name)));
}

class ProfileChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }
};

TEST_F(ProfileChoice, OkTakesTheSelectedProfileTheFirstUnlessAnotherIsClicked) {
  EXPECT_EQ(Choose([](CProfileChoiceWnd& dialog, CListUI& list) {
              EXPECT_EQ(list.GetCount(), 3);
              EXPECT_EQ(list.GetItemAt(1)->GetText(), QStringLiteral("史蒂夫"));
              ClickNamed(dialog, "Btn_Ok");
            },
            QStringLiteral("profile_choice")),
            0u);
  EXPECT_EQ(Choose([](CProfileChoiceWnd& dialog, CListUI& list) {
              test::Click(dialog, list.GetItemAt(1));
              ClickNamed(dialog, "Btn_Ok");
            }),
            1u);
  EXPECT_EQ(Choose([](CProfileChoiceWnd& dialog, CListUI& list) { test::DoubleClick(dialog, list.GetItemAt(2)); }), 2u);
}

TEST_F(ProfileChoice, CancelAndCloseTakeNone) {
  EXPECT_EQ(Choose([](CProfileChoiceWnd& dialog, CListUI&) { ClickNamed(dialog, "Btn_Cancel"); }), std::nullopt);
  EXPECT_EQ(Choose([](CProfileChoiceWnd& dialog, CListUI&) { ClickNamed(dialog, "Btn_Close"); }), std::nullopt);
}

}  // namespace
}  // namespace kv
