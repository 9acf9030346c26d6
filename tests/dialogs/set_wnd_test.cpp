// The settings dialog: every value both ways, the enabling rules, the Java runtimes (found,
// configured, browsed), the game folder, the checks that keep the dialog open, and the account
// check behind the indicator.
#include "dialogs/set_wnd.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <deque>
#include <filesystem>
#include <mutex>

#include "auth/microsoft_account_file.h"
#include "auth/microsoft_services.h"
#include "auth/stored_credentials.h"
#include "platform/profile_store.h"
#include "settings/instance_commands.h"
#include "tests/dialogs/message_answerer.h"
#include "tests/support/temp_folder.h"
#include "tests/uilib/gui_test_support.h"
#include "tests/uilib/window_probes.h"
#include "uilib/button.h"
#include "uilib/combo.h"
#include "uilib/edit.h"
#include "uilib/ui_cast.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using namespace ui;

class ListedJava : public JavaRuntimeSource {
 public:
  std::vector<JavaRuntime> Runtimes() const override { return runtimes; }
  std::vector<JavaRuntime> runtimes;
};

// Answers the pickers from queues; an empty queue is a cancel.
class QueuedPickers : public FilePickers {
 public:
  bool BrowseForExecutable(HWND, std::vector<std::string>& paths) override {
    if (programs.empty()) return false;
    paths.push_back(programs.front());
    programs.pop_front();
    return true;
  }
  bool BrowseForFolder(const QString&, std::string& path, HWND) override {
    if (folders.empty()) return false;
    path = folders.front();
    folders.pop_front();
    return true;
  }
  bool BrowseForSaveFile(const QString&, std::string&, HWND) override { return false; }
  bool BrowseForPack(HWND, std::string&) override { return false; }
  std::deque<std::string> programs;
  std::deque<std::string> folders;
};

// The machine's memory the dialog is told, in MB.
constexpr int kMachineMemory = 16384;

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::HasLauncherSkin()) << "the launcher's skin is missing from this build";
    java_.runtimes = {{"/usr/lib/jvm/java-17/bin/java", "17.0.15"}, {"/usr/lib/jvm/java-21/bin/java", "21.0.2"}};
  }

  SetWndServices Services() {
    SetWndServices services;
    services.settingsPath = settings_;
    services.java = &java_;
    services.pickers = &pickers_;
    services.machineMemoryMb = kMachineMemory;
    // A plain account service: its root answers without metadata.
    services.account.get = [](const std::string&) { return AccountReply{.status = 404}; };
    services.account.post = [this](const std::string&, const std::string& request) {
      ++signIns_;
      {
        std::lock_guard lock(mutex_);
        lastRequest_ = request;
      }
      while (holdSignIn_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      return AccountReply{.status = reply_.find("\"error\"") == std::string::npos ? 200L : 403L, .body = reply_};
    };
    return services;
  }

  // Runs the dialog; `script` acts once the settings are shown. A script that stopped
  // half-way leaves the dialog closed with -1.
  int Run(const std::function<void(CSetWnd&)>& script) {
    CSetWnd dialog(Services());
    EXPECT_TRUE(dialog.CreateFor(nullptr));
    QTimer::singleShot(0, [&] {
      if (test::PumpUntil([&] { return !test::TextOf(&dialog, "Ed_GamePath").isEmpty(); })) {
        test::Pump(20);
        script(dialog);
      }
      dialog.Close(-1);
    });
    return dialog.ShowModal();
  }

  static CComboUI* Combo(CWindowWnd& dialog) {
    return ui_cast<CComboUI>(test::ControlOf(&dialog, "CBox_JavaPath"));
  }
  static bool Checked(CWindowWnd& dialog, const char* name) {
    return ui_cast<COptionUI>(test::ControlOf(&dialog, name))->IsSelected();
  }
  static bool Enabled(CWindowWnd& dialog, const char* name) { return test::ControlOf(&dialog, name)->IsEnabled(); }
  static void Type(CWindowWnd& dialog, const char* name, const QString& text) {
    test::ControlOf(&dialog, name)->SetText(text);
  }
  // Presses OK and returns the message it brought (empty when none came).
  static QString Confirm(CWindowWnd& dialog, const char* answer = "okbtn") {
    test::MessageAnswerer answerer(answer);
    test::ClickControlOf(&dialog, "Btn_Ok");
    test::PumpUntil([&] { return !answerer.Texts().empty() || !dialog.GetHWND(); }, 1000);
    return answerer.Texts().empty() ? QString() : answerer.Texts().front();
  }

  CSettings Saved() {
    CSettings settings(settings_);
    settings.Load(java_);
    return settings;
  }

  test::TempFolder home_;
  std::string settings_ = home_ / "KvCfg.ini";
  ListedJava java_;
  QueuedPickers pickers_;
  std::atomic<int> signIns_{0};
  std::atomic<bool> holdSignIn_{false};
  std::string reply_;
  std::mutex mutex_;
  std::string lastRequest_;
};

TEST_F(SettingsDialog, EveryValueIsShownFromTheFileAndSavedToIt) {
  CSettings stored(settings_);
  stored.userName = "史蒂夫";
  stored.password = "p@ss 密码";
  stored.isGenuine = false;
  stored.game.javaPath = java_.runtimes[1].path;
  stored.gamePath = home_ / "games/.minecraft/";
  stored.game.memoryMin = 1024;
  stored.game.memoryMax = 4096;
  stored.game.launchParameters = "-XX:+UseG1GC";
  stored.game.javaVer = "21.0.2";
  stored.game.autoMemory = false;
  stored.isShowCmd = true;
  ASSERT_TRUE(stored.Save());

  const int result = Run([&](CSetWnd& dialog) {
    EXPECT_EQ(test::TextOf(&dialog, "Ed_UserName"), QStringLiteral("史蒂夫"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_Pwd"), QStringLiteral("p@ss 密码"));
    EXPECT_FALSE(Checked(dialog, "CB_IsGenuine"));
    EXPECT_EQ(Combo(dialog)->GetCurSel(), 1);
    EXPECT_EQ(Combo(dialog)->GetText(), QString::fromStdString(java_.runtimes[1].path));
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), QStringLiteral("21.0.2"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_GamePath"), QString::fromStdString(home_ / "games/.minecraft/"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_JVMMemoryMin"), QStringLiteral("1024"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("4096"));
    EXPECT_EQ(test::TextOf(&dialog, "Ed_LaunchParameters"), QStringLiteral("-XX:+UseG1GC"));
    EXPECT_FALSE(Checked(dialog, "CB_IsAutoMallocMemory"));
    EXPECT_TRUE(Checked(dialog, "CB_IsShowCmd"));
    // The enabling rules: no genuine account, no password; no automatic memory, sizes to fill.
    EXPECT_FALSE(Enabled(dialog, "Ed_Pwd"));
    EXPECT_TRUE(Enabled(dialog, "Ed_JVMMemoryMin"));
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("settings_dialog"));

    Type(dialog, "Ed_UserName", QStringLiteral("Alex"));
    Type(dialog, "Ed_Pwd", QStringLiteral("still saved"));
    Type(dialog, "Ed_JVMMemoryMin", QStringLiteral("2048"));
    Type(dialog, "Ed_LaunchParameters", QStringLiteral("-Xss2M"));
    // Only a log window that is shown can be kept open after the game.
    EXPECT_TRUE(Enabled(dialog, "CB_IsKeepLog"));
    test::ClickControlOf(&dialog, "CB_IsKeepLog");
    test::ClickControlOf(&dialog, "CB_IsShowCmd");
    EXPECT_FALSE(Enabled(dialog, "CB_IsKeepLog"));
    test::ClickControlOf(&dialog, "CB_IsAutoMallocMemory");
    EXPECT_FALSE(Enabled(dialog, "Ed_JVMMemoryMin"));
    EXPECT_FALSE(Enabled(dialog, "Ed_JVMMemoryMax"));
    test::ClickControlOf(&dialog, "CB_IsAutoMallocMemory");
    EXPECT_TRUE(Enabled(dialog, "Ed_JVMMemoryMax"));
    test::ClickControlOf(&dialog, "CB_IsAutoMallocMemory");
    Combo(dialog)->SelectItem(0);
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), QStringLiteral("17.0.15"));
    test::ClickControlOf(&dialog, "Btn_DefaultGamePath");
    EXPECT_EQ(test::TextOf(&dialog, "Ed_GamePath"), QString::fromStdString(home_ / ".minecraft/"));
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(signIns_, 0);
  const CSettings saved = Saved();
  EXPECT_EQ(saved.userName, "Alex");
  EXPECT_EQ(saved.password, "still saved");
  EXPECT_FALSE(saved.isGenuine);
  EXPECT_EQ(saved.game.javaPath, java_.runtimes[0].path);
  EXPECT_EQ(saved.game.javaVer, "17.0.15");
  EXPECT_EQ(saved.gamePath, home_ / ".minecraft/");
  EXPECT_EQ(saved.game.memoryMin, 2048);  // kept although automatic memory is on
  EXPECT_EQ(saved.game.memoryMax, 4096);
  EXPECT_EQ(saved.game.launchParameters, "-Xss2M");
  EXPECT_EQ(saved.game.autoMemory, true);
  EXPECT_FALSE(saved.isShowCmd);
  EXPECT_TRUE(saved.isKeepLog);
  EXPECT_TRUE(std::filesystem::is_directory(home_ / ".minecraft/"));
}

TEST_F(SettingsDialog, TheAccountServerIsPickedByNameOrTyped) {
  CSettings stored(settings_);
  stored.Load(java_);
  stored.isGenuine = false;
  stored.authServer = "https://littleskin.cn/api/yggdrasil/";
  ASSERT_TRUE(stored.Save());
  const auto field = [](CWindowWnd& dialog) {
    return ui_cast<CEditUI>(test::ControlOf(&dialog, "Ed_AuthServer"));
  };
  const auto servers = [](CWindowWnd& dialog) {
    return ui_cast<CComboUI>(test::ControlOf(&dialog, "CBox_AuthServer"));
  };

  const int result = Run([&](CSetWnd& dialog) {
    // A named server's address, with or without its trailing slash, is that server.
    EXPECT_EQ(servers(dialog)->GetText(), QStringLiteral("LittleSkin"));
    EXPECT_TRUE(field(dialog)->IsReadOnly());
    EXPECT_FALSE(Enabled(dialog, "CBox_AuthServer"));
    test::ClickControlOf(&dialog, "CB_IsGenuine");
    EXPECT_TRUE(Enabled(dialog, "CBox_AuthServer"));
    EXPECT_TRUE(Enabled(dialog, "Ed_AuthServer"));
    test::ClickControlOf(&dialog, "CB_IsGenuine");

    servers(dialog)->SelectItem(2);
    EXPECT_EQ(field(dialog)->GetText(), QStringLiteral("https://authserver.ely.by/api/authlib-injector"));
    servers(dialog)->SelectItem(0);
    EXPECT_EQ(field(dialog)->GetText(), QString());
    servers(dialog)->SelectItem(4);
    EXPECT_FALSE(field(dialog)->IsReadOnly());
    Type(dialog, "Ed_AuthServer", QStringLiteral("https://skins.example/api/yggdrasil"));
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Saved().authServer, "https://skins.example/api/yggdrasil");
}

TEST_F(SettingsDialog, AMicrosoftAccountHasNoPasswordKeepsItsApplicationIdAndIsSignedOutHere) {
  CSettings stored(settings_);
  stored.Load(java_);
  stored.isGenuine = false;
  stored.password = "of another server";
  stored.msaClientId = "00000000-0000-4000-8000-00000000abcd";
  ASSERT_TRUE(stored.Save());
  const std::string accountFile = MicrosoftAccountPath(settings_);
  ASSERT_TRUE(WriteFileAtomically(accountFile, "{}"));
  const auto servers = [](CWindowWnd& dialog) {
    return ui_cast<CComboUI>(test::ControlOf(&dialog, "CBox_AuthServer"));
  };
  const auto shown = [](CWindowWnd& dialog, const char* name) { return test::ControlOf(&dialog, name)->IsVisible(); };

  EXPECT_EQ(Run([&](CSetWnd& dialog) {
              EXPECT_TRUE(shown(dialog, "Ed_Pwd"));
              EXPECT_FALSE(shown(dialog, "Btn_MsaSignOut"));
              test::ClickControlOf(&dialog, "CB_IsGenuine");
              servers(dialog)->SelectItem(3);
              EXPECT_EQ(servers(dialog)->GetText(), QString::fromUtf8(msg::kMicrosoftAccount));
              for (const char* name : {"LB_Pwd", "Ed_Pwd", "Ed_AuthServer"}) EXPECT_FALSE(shown(dialog, name)) << name;
              EXPECT_TRUE(shown(dialog, "Btn_MsaSignOut"));
              test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("settings_dialog_microsoft"));
              servers(dialog)->SelectItem(0);
              EXPECT_TRUE(shown(dialog, "Ed_Pwd"));
              EXPECT_FALSE(shown(dialog, "Btn_MsaSignOut"));
              servers(dialog)->SelectItem(3);
              EXPECT_EQ(Confirm(dialog), QString());
            }),
            IDOK);
  EXPECT_EQ(signIns_, 0);
  EXPECT_EQ(Saved().authServer, kMicrosoftAuthServer);
  EXPECT_EQ(Saved().msaClientId, stored.msaClientId);
  EXPECT_EQ(Saved().password, "");

  Run([&](CSetWnd& dialog) {
    EXPECT_FALSE(shown(dialog, "Ed_Pwd"));
    {
      test::MessageAnswerer answerer("okbtn");
      test::ClickControlOf(&dialog, "Btn_MsaSignOut");
      ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
      EXPECT_EQ(answerer.Texts().front(), QString::fromUtf8(msg::kMsaSignedOut));
    }
    EXPECT_FALSE(PathExists(accountFile));
    EXPECT_FALSE(shown(dialog, "Btn_MsaSignOut"));
  });

  // Without an application id there is nothing to sign in with, and the dialog says how to
  // give one.
  if (!microsoft::ClientId("").empty()) return;
  CSettings withoutId(settings_);
  withoutId.LoadAccount();
  withoutId.msaClientId.clear();
  ASSERT_TRUE(withoutId.SaveAccount());
  Run([&](CSetWnd& dialog) {
    EXPECT_EQ(Confirm(dialog), QString::fromUtf8(msg::kMsaNoClientId));
    EXPECT_TRUE(dialog.GetHWND());
  });
  EXPECT_EQ(Saved().msaClientId, "");
}

TEST_F(SettingsDialog, AnotherAccountServerGetsOnlyANameAndPasswordTypedForIt) {
  CSettings stored(settings_);
  stored.Load(java_);
  stored.userName = "steve@example.com";
  stored.password = "old password";
  stored.isGenuine = true;
  stored.authServer = "https://skin-a.example";
  ASSERT_TRUE(stored.Save());
  StoredCredentials earlier;
  InitStoredCredentials(earlier, settings_);
  earlier.accessToken = "a-token";
  earlier.tokenServer = "https://skin-a.example";
  ASSERT_TRUE(SaveStoredCredentials(earlier));
  const std::string before = test::ReadFile(settings_);
  reply_ = R"({"accessToken":"b-token","selectedProfile":{"id":"1","name":"Alex"}})";

  const int result = Run([&](CSetWnd& dialog) {
    ui_cast<CComboUI>(test::ControlOf(&dialog, "CBox_AuthServer"))->SelectItem(3);
    Type(dialog, "Ed_AuthServer", QStringLiteral("https://skin-b.example"));
    // What the fields showed was given for the old server: the player is asked for the new one's.
    QString told;
    {
      test::Watcher answer([&] {
        CWindowWnd* message = test::FindOpenWindow(QStringLiteral("KvMessageDialog"));
        if (!message || !told.isEmpty()) return;
        told = test::TextOf(message, "text");
        test::SaveScreenshot(dialog.GetHWND(), {message->GetHWND()}, QStringLiteral("settings_dialog_new_account_server"));
        test::ClickControlOf(message, "okbtn");
      });
      test::ClickControlOf(&dialog, "Btn_Ok");
      ASSERT_TRUE(test::PumpUntil([&] { return !told.isEmpty(); }));
    }
    EXPECT_EQ(told, QString::fromUtf8(msg::kAccountClearedForNewServer));
    ASSERT_TRUE(test::PumpUntil([&] { return dialog.GetHWND() && !test::FindOpenWindow(QStringLiteral("KvMessageDialog")); }))
        << "the dialog closed";
    EXPECT_EQ(test::TextOf(&dialog, "Ed_UserName"), QString());
    EXPECT_EQ(test::TextOf(&dialog, "Ed_Pwd"), QString());
    EXPECT_EQ(signIns_, 0);
    EXPECT_EQ(test::ReadFile(settings_), before);
    Type(dialog, "Ed_UserName", QStringLiteral("alex@example.com"));
    Type(dialog, "Ed_Pwd", QStringLiteral("new password"));
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(signIns_, 1);
  {
    std::lock_guard lock(mutex_);
    EXPECT_EQ(lastRequest_.find("old password"), std::string::npos) << lastRequest_;
    EXPECT_NE(lastRequest_.find("new password"), std::string::npos) << lastRequest_;
  }
  const CSettings saved = Saved();
  EXPECT_EQ(saved.authServer, "https://skin-b.example");
  EXPECT_EQ(saved.userName, "alex@example.com");
  EXPECT_EQ(saved.password, "new password");
  StoredCredentials credentials;
  InitStoredCredentials(credentials, settings_);
  LoadStoredCredentials(credentials);
  EXPECT_EQ(credentials.accessToken, "b-token");
  EXPECT_EQ(credentials.tokenServer, "https://skin-b.example");
}

TEST_F(SettingsDialog, AConfiguredJavaThatIsGoneIsMarkedStaysOnOfferAndTestingNeverReplacesIt) {
  CSettings stored(settings_);
  stored.Load(java_);
  stored.game.javaPath = "/opt/old-java/bin/java";
  stored.game.javaVer = "1.8.0_51";
  ASSERT_TRUE(stored.Save());
  const QString gone = QString::fromStdString(msg::JavaPathUnusable(msg::kJavaProgramMissing));
  Run([&](CSetWnd& dialog) {
    ASSERT_EQ(dialog.JavaRuntimes().size(), 3u);
    EXPECT_EQ(Combo(dialog)->GetCurSel(), 2);
    EXPECT_EQ(Combo(dialog)->GetText(), QStringLiteral("/opt/old-java/bin/java"));
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), gone);
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("settings_java_gone"));
    // Another runtime shows its version; back on the configured one, the mark again.
    Combo(dialog)->SelectItem(1);
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), QStringLiteral("21.0.2"));
    Combo(dialog)->SelectItem(2);
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), gone);
    {
      test::MessageAnswerer answerer("okbtn");
      test::ClickControlOf(&dialog, "Btn_JavaTest");
      ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
      EXPECT_EQ(answerer.Texts()[0], gone + QStringLiteral(":\n/opt/old-java/bin/java"));
    }
    EXPECT_EQ(dialog.JavaRuntimes().size(), 3u);
    EXPECT_EQ(Combo(dialog)->GetText(), QStringLiteral("/opt/old-java/bin/java"));
    // Saving the other values keeps the player's choice as it was.
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(Saved().game.javaPath, "/opt/old-java/bin/java");
  EXPECT_EQ(Saved().game.javaVer, "1.8.0_51");
}

TEST_F(SettingsDialog, AJavaPathCanBeTypedAndTestingSaysWhatItHoldsWithoutChangingIt) {
  test::WriteFile(home_ / "jdk/bin/java", "#!/bin/sh\nexit 1\n");
  ::chmod((home_ / "jdk/bin/java").c_str(), 0755);
  test::WriteFile(home_ / "jdk/release", "JAVA_VERSION=\"11.0.20\"\n");
  test::WriteFile(home_ / "notes.txt", "not a program");
  ::chmod((home_ / "notes.txt").c_str(), 0755);
  const auto typeJava = [](CSetWnd& dialog, const std::string& path) {
    QLineEdit* field = Combo(dialog)->GetNativeCombo()->lineEdit();
    ASSERT_NE(field, nullptr);
    field->clear();
    QTest::keyClicks(field, QString::fromStdString(path));
    test::Pump();
  };
  const auto testJava = [](CSetWnd& dialog) {
    test::MessageAnswerer answerer("okbtn");
    test::ClickControlOf(&dialog, "Btn_JavaTest");
    test::PumpUntil([&] { return !answerer.Texts().empty(); });
    return answerer.Texts().empty() ? QString() : answerer.Texts()[0];
  };
  Run([&](CSetWnd& dialog) {
    const int selected = Combo(dialog)->GetCurSel();
    typeJava(dialog, home_ / "notes.txt");
    EXPECT_EQ(testJava(dialog), QString::fromStdString(msg::NotAJavaRuntime(home_ / "notes.txt")));
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), QString::fromStdString(msg::JavaPathUnusable(msg::kNotAJava)));
    // Not a Java: OK refuses it and the dialog stays.
    EXPECT_EQ(Confirm(dialog), QString::fromStdString(msg::NotAJavaRuntime(home_ / "notes.txt")));
    EXPECT_TRUE(dialog.GetHWND()->isVisible());

    typeJava(dialog, home_ / "jdk/bin/java");
    EXPECT_EQ(testJava(dialog), QString::fromStdString(msg::JavaTested(home_ / "jdk/bin/java", "11.0.20")));
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), QStringLiteral("11.0.20"));
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("settings_java_typed"));
    EXPECT_EQ(Combo(dialog)->GetText(), QString::fromStdString(home_ / "jdk/bin/java"));
    EXPECT_EQ(Combo(dialog)->GetCurSel(), selected);
    EXPECT_EQ(dialog.JavaRuntimes().size(), 2u);
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(Saved().game.javaPath, home_ / "jdk/bin/java");
  EXPECT_EQ(Saved().game.javaVer, "11.0.20");

  // An emptied path leaves the choice to the launcher; 测试 asks for a path.
  Run([&](CSetWnd& dialog) {
    typeJava(dialog, "");
    EXPECT_EQ(testJava(dialog), QString::fromUtf8(msg::kJavaPathEmpty));
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(profile::GetString(settings_, "KvCfg", "JavaPath", "<none>"), "");
}

TEST_F(SettingsDialog, ThePickersOfferOnlyJavaAndPutTheGameFolderInTheChosenOne) {
  test::WriteFile(home_ / "jdk/bin/java", "#!/bin/sh\nexit 1\n");
  ::chmod((home_ / "jdk/bin/java").c_str(), 0755);
  test::WriteFile(home_ / "jdk/release", "JAVA_VERSION=\"11.0.20\"\n");
  test::WriteFile(home_ / "notes.txt", "not a program");
  pickers_.programs = {home_ / "notes.txt", home_ / "jdk/bin/java"};
  pickers_.folders = {home_ / "games/", home_ / "games"};
  Run([&](CSetWnd& dialog) {
    const int before = Combo(dialog)->GetCurSel();
    {
      test::MessageAnswerer answerer("okbtn");
      test::ClickControlOf(&dialog, "Btn_JavaPathReset");
      ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
      EXPECT_EQ(answerer.Texts()[0], QString::fromStdString(msg::NotAJavaRuntime(home_ / "notes.txt")));
    }
    EXPECT_EQ(Combo(dialog)->GetCount(), 2);
    EXPECT_EQ(Combo(dialog)->GetCurSel(), before);
    test::ClickControlOf(&dialog, "Btn_JavaPathReset");
    ASSERT_TRUE(test::PumpUntil([&] { return Combo(dialog)->GetCount() == 3; }));
    EXPECT_EQ(Combo(dialog)->GetCurSel(), 2);
    EXPECT_EQ(Combo(dialog)->GetText(), QString::fromStdString(home_ / "jdk/bin/java"));
    EXPECT_EQ(test::TextOf(&dialog, "LB_JavaVer"), QStringLiteral("11.0.20"));
    // Cancelled: nothing changes.
    test::ClickControlOf(&dialog, "Btn_JavaPathReset");
    EXPECT_EQ(Combo(dialog)->GetCount(), 3);

    const QString inGames = QString::fromStdString(home_ / "games/.minecraft/");
    test::ClickControlOf(&dialog, "Btn_SelectGamePath");
    EXPECT_EQ(test::TextOf(&dialog, "Ed_GamePath"), inGames);
    test::ClickControlOf(&dialog, "Btn_DefaultGamePath");
    test::ClickControlOf(&dialog, "Btn_SelectGamePath");
    EXPECT_EQ(test::TextOf(&dialog, "Ed_GamePath"), inGames);
    EXPECT_EQ(Confirm(dialog), QString());
  });
  const CSettings saved = Saved();
  EXPECT_EQ(saved.game.javaPath, home_ / "jdk/bin/java");
  EXPECT_EQ(saved.game.javaVer, "11.0.20");
  EXPECT_EQ(saved.gamePath, home_ / "games/.minecraft/");
}

TEST_F(SettingsDialog, MemoryUpToTheMachinesIsTypedWhole) {
  const int result = Run([&](CSetWnd& dialog) {
    EXPECT_EQ(test::TextOf(&dialog, "LB_MachineMemory"), QString::fromStdString(msg::MachineMemory(kMachineMemory)));
    test::ClickControlOf(&dialog, "CB_IsAutoMallocMemory");
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("16385"));
    // Five digits stay five digits; one MB above the machine's memory is refused naming it.
    EXPECT_EQ(test::TextOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("16385"));
    test::SaveScreenshot(dialog.GetHWND(), QStringLiteral("settings_machine_memory"));
    EXPECT_EQ(Confirm(dialog), QString::fromStdString(msg::MemoryAboveMachine("最大内存(MB)", kMachineMemory)));
    test::TypeInto(dialog, test::ControlOf(&dialog, "Ed_JVMMemoryMax"), QStringLiteral("16384"));
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Saved().game.memoryMax, 16384);
}

TEST_F(SettingsDialog, WhatCannotWorkIsRefusedWithTheDialogOpenAndTheFileAsItWas) {
  ASSERT_EQ(AddInstance(settings_, home_ / ".minecraft/", "生存", "1.7.10").status, InstanceCommandStatus::Done);
  test::WriteFile(home_ / "in-the-way", "a file");
  const std::string before = test::ReadFile(settings_);
  const int result = Run([&](CSetWnd& dialog) {
    test::ClickControlOf(&dialog, "CB_IsAutoMallocMemory");
    Type(dialog, "Ed_JVMMemoryMin", QStringLiteral("4096"));
    Type(dialog, "Ed_JVMMemoryMax", QStringLiteral("1024"));
    EXPECT_EQ(Confirm(dialog), QString::fromUtf8(msg::kMemoryMinAboveMax));
    Type(dialog, "Ed_JVMMemoryMax", QStringLiteral("0"));
    EXPECT_EQ(Confirm(dialog), QString::fromUtf8(msg::kMemoryMaxZero));
    Type(dialog, "Ed_JVMMemoryMax", QStringLiteral("8192"));
    Type(dialog, "Ed_UserName", QStringLiteral("Steve😀"));
    EXPECT_EQ(Confirm(dialog), QString::fromStdString(msg::NotInSettingsFile("玩家名称(ID)")));
    Type(dialog, "Ed_UserName", QStringLiteral("Steve"));
    // A game folder elsewhere leaves the instance folders behind: asked first.
    Type(dialog, "Ed_GamePath", QString::fromStdString(home_ / "in-the-way/.minecraft/"));
    EXPECT_NE(Confirm(dialog, "cancelbtn").indexOf(QString::fromUtf8(msg::kContinueQuestion)), -1);
    // Agreed, but the folder cannot be made.
    test::MessageAnswerer answerer("okbtn");
    test::ClickControlOf(&dialog, "Btn_Ok");
    ASSERT_TRUE(test::PumpUntil([&] { return answerer.Texts().size() == 2; }));
    EXPECT_EQ(answerer.Texts()[1], QString::fromStdString(msg::GameFolderNotCreated(home_ / "in-the-way/.minecraft/")));
    EXPECT_TRUE(dialog.GetHWND()->isVisible());
    EXPECT_EQ(test::ReadFile(settings_), before);
    test::ClickControlOf(&dialog, "Btn_Close");
  });
  EXPECT_EQ(result, IDCLOSE);
  EXPECT_EQ(test::ReadFile(settings_), before);
}

TEST_F(SettingsDialog, EscapeCancelsEnterSavesAndANameTooLongIsRefusedNotCut) {
  EXPECT_EQ(Run([](CSetWnd& dialog) { test::KeyClick(dialog.GetHWND(), Qt::Key_Escape); }), IDCANCEL);
  EXPECT_EQ(Saved().userName, "Player");

  const QString tooLong(51, QChar(u'x'));
  const int result = Run([&](CSetWnd& dialog) {
    auto* name = ui_cast<CEditUI>(test::ControlOf(&dialog, "Ed_UserName"));
    test::TypeInto(dialog, name, tooLong);
    EXPECT_EQ(name->GetText(), tooLong);
    {
      test::MessageAnswerer answerer("okbtn");
      QTest::keyClick(name->GetNativeEdit(), Qt::Key_Return);
      ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
      EXPECT_EQ(answerer.Texts().front(), QString::fromUtf8(msg::kUserNameTooLong));
    }
    EXPECT_TRUE(dialog.GetHWND()->isVisible());
    test::TypeInto(dialog, name, QStringLiteral("Alex"));
    QTest::keyClick(name->GetNativeEdit(), Qt::Key_Return);
    test::Pump();
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Saved().userName, "Alex");
}

TEST_F(SettingsDialog, AGenuineAccountIsSignedInBehindTheIndicatorWithTheNamesOfTheMomentOfOk) {
  const std::string before = test::ReadFile(settings_);
  holdSignIn_ = true;
  reply_ = R"({"error":"ForbiddenOperationException","errorMessage":"Invalid credentials."})";
  const int result = Run([&](CSetWnd& dialog) {
    test::ClickControlOf(&dialog, "CB_IsGenuine");
    EXPECT_TRUE(Enabled(dialog, "Ed_Pwd"));
    Type(dialog, "Ed_UserName", QStringLiteral("steve@example.com"));
    Type(dialog, "Ed_Pwd", QStringLiteral("wrong"));
    test::MessageAnswerer answerer("okbtn");
    test::Watcher whileSigningIn([&] {
      if (!dialog.Busy() || !holdSignIn_.load()) return;
      CWindowWnd* indicator = test::FindOpenWindow(QStringLiteral("LoadingWnd"));
      if (!indicator) return;
      test::SaveScreenshot(dialog.GetHWND(), {indicator->GetHWND()}, QStringLiteral("settings_dialog_signing_in"));
      // The worker took its name and password when OK was pressed.
      Type(dialog, "Ed_UserName", QStringLiteral("typed meanwhile"));
      holdSignIn_ = false;
    });
    test::ClickControlOf(&dialog, "Btn_Ok");
    ASSERT_TRUE(test::PumpUntil([&] { return !answerer.Texts().empty(); }));
    EXPECT_EQ(answerer.Texts()[0], QStringLiteral("错误:ForbiddenOperationException 错误信息:Invalid credentials."));
    {
      std::lock_guard lock(mutex_);
      EXPECT_NE(lastRequest_.find("\"username\":\"steve@example.com\""), std::string::npos) << lastRequest_;
    }
    EXPECT_EQ(test::ReadFile(settings_), before);

    reply_ = R"({"accessToken":")" + std::string(2000, 'a') +
             R"(","clientToken":"c","selectedProfile":{"id":"4566e69f","name":"Steve"}})";
    Type(dialog, "Ed_UserName", QStringLiteral("steve@example.com"));
    Type(dialog, "Ed_Pwd", QStringLiteral("right"));
    EXPECT_EQ(Confirm(dialog), QString());
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(signIns_, 2);
  const CSettings saved = Saved();
  EXPECT_TRUE(saved.isGenuine);
  EXPECT_EQ(saved.password, "right");
  StoredCredentials credentials;
  InitStoredCredentials(credentials, settings_);
  LoadStoredCredentials(credentials);
  EXPECT_EQ(credentials.accessToken, std::string(2000, 'a'));
  EXPECT_EQ(credentials.profileName, "Steve");
}

}  // namespace
}  // namespace kv
