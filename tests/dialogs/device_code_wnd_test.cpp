// The Microsoft sign-in window against the local stand-in of Microsoft's, Xbox Live's and the
// game's hosts: the code, the address and its QR code while the player is awaited; cancel
// stops the sign-in and keeps nothing; a finished sign-in says whose it is in the window.
#include "dialogs/device_code_wnd.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>
#include <functional>

#include "dialogs/qr_code_ui.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/microsoft_server.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/ui_cast.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;
using test::MicrosoftServer;

class DeviceCodeWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HasLauncherSkin()) GTEST_SKIP() << "no skin in this build";
  }

  void Serve(MicrosoftServer::Options options) {
    root_.reset();
    server_.reset();
    server_ = std::make_unique<MicrosoftServer>(std::move(options));
    root_ = std::make_unique<test::ScopedEnvironment>("KORVANE_OFFICIAL_ROOT", server_->BaseUrl());
  }

  // Runs the window; `script` acts on it while it is open, and the window is closed after it.
  std::optional<MicrosoftAccount> Run(const std::function<void(CDeviceCodeWnd&)>& script) {
    CDeviceCodeWnd window({MicrosoftServer::kClientId, accountPath_, AccountTransport::Network()});
    QTimer::singleShot(0, [&] {
      script(window);
      window.Close(IDCANCEL);
    });
    return window.Run(nullptr);
  }

  test::ScopedEnvironment bundle_{"KORVANE_CA_BUNDLE", test::FixturePath("tls/ca.pem")};
  std::unique_ptr<MicrosoftServer> server_;
  std::unique_ptr<test::ScopedEnvironment> root_;
  test::TempFolder dir_;
  std::string accountPath_ = MicrosoftAccountPath(dir_ / "KvCfg.ini");
};

TEST_F(DeviceCodeWindow, ShowsTheCodeAndItsAddressAndCancelStopsTheSignIn) {
  const std::string forPhone = std::string(MicrosoftServer::kVerificationUri) + "?otc=" + MicrosoftServer::kUserCode;
  Serve({.holdPolls = true, .verificationUriComplete = forPhone});
  const std::optional<MicrosoftAccount> account = Run([&](CDeviceCodeWnd& window) {
    ASSERT_TRUE(test::PumpUntil([&] { return server_->Requests(MicrosoftServer::kTokenPath) > 0; }, 20000));
    ASSERT_TRUE(test::PumpUntil([&] { return !test::TextOf(&window, "LB_UserCode").isEmpty(); }));
    EXPECT_EQ(test::TextOf(&window, "LB_UserCode"), QString::fromLatin1(MicrosoftServer::kUserCode));
    EXPECT_EQ(test::TextOf(&window, "LB_Address"), QString::fromLatin1(MicrosoftServer::kVerificationUri));
    EXPECT_EQ(test::TextOf(&window, "LB_Status"), QString::fromUtf8(msg::kMsaWaitingForPlayer));
    EXPECT_TRUE(test::TextOf(&window, "LB_TimeLeft").startsWith(QStringLiteral("剩余时间 1")));
    // The phone gets the address with the code in it.
    auto* qr = ui_cast<CQrCodeUI>(test::ControlOf(&window, "QR_Address"));
    ASSERT_NE(qr, nullptr);
    EXPECT_EQ(qr->GetText(), QString::fromStdString(forPhone));
    EXPECT_GE(qr->Size(), 21);
    test::ClickControlOf(&window, "Btn_CopyCode");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromLatin1(MicrosoftServer::kUserCode));
    test::SaveScreenshot(window.GetHWND(), QStringLiteral("device_code_window"));
    test::ClickControlOf(&window, "Btn_Cancel");
  });
  // Run returns once the sign-in has stopped; nothing was kept and nothing more is asked.
  EXPECT_FALSE(account);
  EXPECT_FALSE(PathExists(accountPath_));
  const int polls = server_->Requests(MicrosoftServer::kTokenPath);
  server_->ReleasePolls();
  EXPECT_EQ(server_->Requests(MicrosoftServer::kTokenPath), polls);
  EXPECT_EQ(server_->Requests(MicrosoftServer::kXboxLivePath), 0);
}

TEST_F(DeviceCodeWindow, TheResultOrTheFailureIsShownInTheWindow) {
  Serve({.polls = {"authorization_pending"}});
  std::optional<MicrosoftAccount> account = Run([&](CDeviceCodeWnd& window) {
    ASSERT_TRUE(test::PumpUntil([&] { return test::TextOf(&window, "Btn_Cancel") == QStringLiteral("关闭"); }, 30000));
    EXPECT_EQ(test::TextOf(&window, "LB_Status"),
              QString::fromStdString(msg::MsaSignedIn(MicrosoftServer::kProfileName)));
    EXPECT_FALSE(test::ControlOf(&window, "Btn_CopyCode")->IsEnabled());
  });
  ASSERT_TRUE(account);
  EXPECT_EQ(account->profile.name, MicrosoftServer::kProfileName);
  EXPECT_TRUE(PathExists(accountPath_));

  Serve({.ownsGame = false});
  ASSERT_TRUE(ForgetMicrosoftAccount(accountPath_));
  account = Run([&](CDeviceCodeWnd& window) {
    ASSERT_TRUE(test::PumpUntil([&] { return test::TextOf(&window, "Btn_Cancel") == QStringLiteral("关闭"); }, 30000));
    EXPECT_EQ(test::TextOf(&window, "LB_Status"), QString::fromUtf8(msg::kMsaNoGame));
  });
  EXPECT_FALSE(account);
  EXPECT_FALSE(PathExists(accountPath_));
}

}  // namespace
}  // namespace kv
