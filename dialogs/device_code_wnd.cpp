#include "dialogs/device_code_wnd.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <utility>

#include "dialogs/dialog_style.h"
#include "dialogs/qr_code_ui.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

CDeviceCodeWnd::CDeviceCodeWnd(DeviceCodeWndServices services) : services_(std::move(services)) {}

CDeviceCodeWnd::~CDeviceCodeWnd() { StopWorker(); }

void CDeviceCodeWnd::StopWorker() {
  cancel_.Cancel();
  if (worker_.joinable()) worker_.join();
}

std::optional<MicrosoftAccount> CDeviceCodeWnd::Run(HWND owner) {
  if (!CreateCentredDialog(*this, owner, QString::fromUtf8(msg::kMicrosoftAccount))) return std::nullopt;
  ShowModal();
  StopWorker();
  return account_;
}

CControlUI* CDeviceCodeWnd::CreateControl(const QString& className) {
  if (className == u"QrCode") return new CQrCodeUI;
  return nullptr;
}

void CDeviceCodeWnd::SetText(const char* control, const QString& text) {
  if (CControlUI* found = paintManager_.FindControl(QString::fromLatin1(control))) found->SetText(text);
}

void CDeviceCodeWnd::Start() {
  SetText("LB_Status", QString::fromUtf8(msg::kMsaWaitingForCode));
  countdown_ = new QTimer(GetHWND());
  QObject::connect(countdown_, &QTimer::timeout, [this] { ShowTimeLeft(); });
  // The worker reads only what is copied here and reports through the window's queue; the
  // window joins it before it goes.
  DeviceCodeSignIn how;
  how.clientId = services_.clientId;
  how.accountPath = services_.accountPath;
  how.showCode = [this](const DeviceCode& code) { PostTask([this, code] { ShowCode(code); }); };
  worker_ = std::thread([this, how = std::move(how), transport = services_.account] {
    Result<MicrosoftAccount> outcome = SignInWithDeviceCode(how, transport, cancel_);
    PostTask([this, outcome = std::move(outcome)] { ShowOutcome(outcome); });
  });
}

void CDeviceCodeWnd::ShowCode(const DeviceCode& code) {
  if (finished_) return;
  userCode_ = code.userCode;
  address_ = code.verificationUri;
  SetText("LB_UserCode", QString::fromStdString(code.userCode));
  SetText("LB_Address", QString::fromStdString(code.verificationUri));
  // A phone that reads the address with the code in it needs nothing typed.
  const std::string& forPhone = code.verificationUriComplete.empty() ? code.verificationUri : code.verificationUriComplete;
  SetText("QR_Address", QString::fromStdString(forPhone));
  SetText("LB_Status", QString::fromUtf8(msg::kMsaWaitingForPlayer));
  for (const char* name : {"Btn_CopyCode", "Btn_OpenAddress"}) {
    if (CControlUI* button = paintManager_.FindControl(QString::fromLatin1(name))) button->SetEnabled(true);
  }
  expiry_ = std::chrono::steady_clock::now() + std::chrono::seconds(code.expiresIn);
  ShowTimeLeft();
  countdown_->start(1000);
}

void CDeviceCodeWnd::ShowTimeLeft() {
  const auto left = std::chrono::duration_cast<std::chrono::seconds>(expiry_ - std::chrono::steady_clock::now());
  const long long seconds = std::max<long long>(0, left.count());
  SetText("LB_TimeLeft", QStringLiteral("剩余时间 %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0')));
}

void CDeviceCodeWnd::ShowOutcome(const Result<MicrosoftAccount>& outcome) {
  finished_ = true;
  if (countdown_) countdown_->stop();
  SetText("LB_TimeLeft", QString());
  if (outcome) {
    account_ = *outcome;
    SetText("LB_Status", QString::fromStdString(msg::MsaSignedIn(outcome->profile.name)));
  } else {
    SetText("LB_Status", QString::fromStdString(outcome.message()));
  }
  // The code is of no use any more; the window stays for the player to read how it ended.
  for (const char* name : {"Btn_CopyCode", "Btn_OpenAddress"}) {
    if (CControlUI* button = paintManager_.FindControl(QString::fromLatin1(name))) button->SetEnabled(false);
  }
  SetText("QR_Address", QString());
  SetText("Btn_Cancel", QStringLiteral("关闭"));
}

void CDeviceCodeWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    Start();
    return;
  }
  if (msg.sType != kNotifyClick || !msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (name == u"Btn_CopyCode") {
    QGuiApplication::clipboard()->setText(QString::fromStdString(userCode_));
  } else if (name == u"Btn_OpenAddress") {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address_)));
  } else {
    CDialogWindow::Notify(msg);
  }
}

LRESULT CDeviceCodeWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // However the window is closed, the sign-in stops with it.
  if (msg == WM_CLOSE) cancel_.Cancel();
  return CDialogWindow::HandleMessage(msg, wParam, lParam);
}

}  // namespace kv
