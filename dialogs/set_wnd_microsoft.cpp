// The Microsoft account in the settings dialog: it has no password and no address, signs in
// with a code in the browser, and can be signed out of here.
#include "auth/microsoft_account_file.h"
#include "auth/microsoft_services.h"
#include "dialogs/device_code_wnd.h"
#include "dialogs/set_wnd.h"
#include "uilib/control.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

std::string CSetWnd::MicrosoftAccountFile() const { return MicrosoftAccountPath(services_.settingsPath); }

void CSetWnd::ShowAccountKind(bool microsoft) {
  for (const char* name : {"LB_Pwd", "Ed_Pwd", "Ed_AuthServer"}) {
    if (CControlUI* control = Find(name)) control->SetVisible(!microsoft);
  }
  if (CControlUI* signOut = Find("Btn_MsaSignOut")) signOut->SetVisible(microsoft && PathExists(MicrosoftAccountFile()));
}

bool CSetWnd::MicrosoftAccountReady(const CSettings& settings) {
  if (microsoft::ClientId(settings.msaClientId).empty()) {
    Tell(msg::kMsaNoClientId);
    return false;
  }
  if (PathExists(MicrosoftAccountFile())) return true;
  // The window says how the sign-in ended; the settings dialog only learns whether it did.
  CDeviceCodeWnd signIn({microsoft::ClientId(settings.msaClientId), MicrosoftAccountFile(), services_.account});
  if (!signIn.Run(GetHWND())) return false;
  ShowAccountKind(true);
  return true;
}

void CSetWnd::SignOutOfMicrosoft() {
  if (const Status forgotten = ForgetMicrosoftAccount(MicrosoftAccountFile()); !forgotten) {
    Tell(forgotten.message());
    return;
  }
  if (CControlUI* signOut = Find("Btn_MsaSignOut")) signOut->SetVisible(false);
  Tell(msg::kMsaSignedOut, MessageKind::Information);
}

}  // namespace kv
