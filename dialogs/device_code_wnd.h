#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "auth/account_transport.h"
#include "auth/microsoft_sign_in.h"
#include "dialogs/dialog_window.h"
#include "util/cancellation.h"

class QTimer;

// The window of a Microsoft sign-in: it asks Microsoft for a device code on a thread of its
// own and shows it in large type with a copy button, the address to enter it at with a button
// that opens it in the browser, a QR code of the address for a phone (with the code in it
// where Microsoft gives such an address), and the time the code has left. The sign-in goes on
// off the GUI thread until the player has entered the code; its result or its failure is then
// shown in the same window. Cancel (or closing the window) stops it at once and keeps nothing.
namespace kv {

struct DeviceCodeWndServices {
  std::string clientId;
  std::string accountPath;
  AccountTransport account;
};

class CDeviceCodeWnd : public CDialogWindow {
 public:
  explicit CDeviceCodeWnd(DeviceCodeWndServices services);
  ~CDeviceCodeWnd() override;

  // Opens the window over `owner` and runs it until the player closes it; the account when
  // the sign-in succeeded (it is kept then).
  std::optional<MicrosoftAccount> Run(ui::HWND owner);

  void Notify(ui::TNotifyUI& msg) override;
  ui::CControlUI* CreateControl(const QString& className) override;
  ui::LRESULT HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvDeviceCodeWnd"); }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\DeviceCode_dlg.xml"); }
  QString CancelButtonName() const override { return QStringLiteral("Btn_Cancel"); }

 private:
  void Start();
  // GUI thread: the code as Microsoft gave it, and how the sign-in ended.
  void ShowCode(const DeviceCode& code);
  void ShowOutcome(const Result<MicrosoftAccount>& outcome);
  void ShowTimeLeft();
  void SetText(const char* control, const QString& text);
  void StopWorker();

  DeviceCodeWndServices services_;
  Cancellation cancel_;
  std::thread worker_;
  bool finished_ = false;
  std::string userCode_;
  std::string address_;
  std::chrono::steady_clock::time_point expiry_;
  QTimer* countdown_ = nullptr;
  std::optional<MicrosoftAccount> account_;
};

}  // namespace kv
