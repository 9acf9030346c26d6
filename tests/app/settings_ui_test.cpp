// The gear: the settings dialog from the launcher window, with a genuine account signed in at
// the local HTTPS account service, and the window's account display after a save.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/app/frame_harness.h"
#include "tests/dialogs/window_action.h"
#include "tests/support/auth_server.h"
#include "tests/support/fixtures.h"
#include "tests/uilib/gui_test_support.h"
#include "uilib/button.h"
#include "uilib/ui_cast.h"

namespace kv {
namespace {

using namespace ui;

class SettingsFromTheWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
    ::setenv("KORVANE_AUTH_SERVER", server_.BaseUrl().c_str(), 1);
    ::setenv("KORVANE_CA_BUNDLE", test::FixturePath("tls/ca.pem").c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("KORVANE_AUTH_SERVER");
    ::unsetenv("KORVANE_CA_BUNDLE");
  }

  // Opens the settings, signs in as steve@example.com with `password` and returns the message
  // the dialog showed (empty when it saved and closed).
  QString SignInWith(const QString& password) {
    QString message;
    test::WindowAction answerMessage("KvMessageDialog", [&](CWindowWnd& dialog) {
      message = test::TextOf(&dialog, "text");
      test::ClickControlOf(&dialog, "okbtn");
    });
    test::WindowAction fill(
        "KvSetWnd",
        [&](CWindowWnd& dialog) {
          test::ControlOf(&dialog, "Ed_UserName")->SetText(QStringLiteral("steve@example.com"));
          auto* genuine = ui_cast<COptionUI>(test::ControlOf(&dialog, "CB_IsGenuine"));
          if (!genuine->IsSelected()) test::ClickControlOf(&dialog, "CB_IsGenuine");
          test::ControlOf(&dialog, "Ed_Pwd")->SetText(password);
          test::ClickControlOf(&dialog, "Btn_Ok");
          // Refused: the dialog stays; it is closed here so that the window's wait ends.
          test::PumpUntil([&] { return !message.isEmpty() || !dialog.GetHWND(); }, 5000);
          if (dialog.GetHWND()) dialog.Close(IDCANCEL);
        },
        [](CWindowWnd& dialog) { return !test::TextOf(&dialog, "Ed_GamePath").isEmpty(); });
    harness_.Click("Btn_Set");
    EXPECT_EQ(fill.Count(), 1);
    return message;
  }

  test::AuthServer server_{"steve@example.com", "right password"};
  test::FrameHarness harness_;
};

TEST_F(SettingsFromTheWindow, AGenuineAccountIsCheckedBeforeItIsSavedAndShownAfter) {
  harness_.AddInstance("生存", "1.7.10");
  CFrameWnd& frame = harness_.Open();
  const std::string before = test::ReadFile(harness_.SettingsPath());

  EXPECT_EQ(SignInWith(QStringLiteral("wrong password")).toStdString(),
            std::string("错误:ForbiddenOperationException 错误信息:") + test::AuthServer::kErrorMessage);
  EXPECT_EQ(test::ReadFile(harness_.SettingsPath()), before);
  EXPECT_EQ(harness_.Find("LB_UserName")->GetText(), QStringLiteral("Player"));

  EXPECT_EQ(SignInWith(QStringLiteral("right password")), QString());
  EXPECT_EQ(server_.PasswordRequests(), 2);
  EXPECT_EQ(harness_.Find("LB_UserName")->GetText(), QStringLiteral("steve@example.com"));
  EXPECT_EQ(harness_.Find("Btn_Login_Status")->GetBkImage(), QStringLiteral("image\\Menu_Online.png"));
  EXPECT_EQ(harness_.Find("Btn_Login_Status")->GetToolTip(), QStringLiteral("在线状态"));
  EXPECT_TRUE(frame.GetHWND()->isVisible());
}

}  // namespace
}  // namespace kv
