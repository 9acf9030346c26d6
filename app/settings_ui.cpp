#include "app/settings_ui.h"

#include "app/frame_wnd.h"
#include "dialogs/instance_set_wnd.h"
#include "dialogs/set_wnd.h"

namespace kv {

void OpenSettings(CFrameWnd& frame) {
  const FrameServices& services = frame.Services();
  SetWndServices dialogServices;
  dialogServices.settingsPath = services.settingsPath;
  dialogServices.java = services.java;
  dialogServices.account = services.launch.account;
  dialogServices.pickers = services.pickers.get();
  CSetWnd dialog(std::move(dialogServices));
  if (!dialog.CreateFor(frame.GetHWND()) || dialog.ShowModal() != ui::IDOK) return;
  frame.ShowAccount();
  // Another game folder holds the instance folders elsewhere.
  frame.ShowSelectedInstance();
}

void OpenInstanceSettings(CFrameWnd& frame, const std::string& instanceName) {
  const FrameServices& services = frame.Services();
  InstanceSetWndServices dialogServices;
  dialogServices.settingsPath = services.settingsPath;
  dialogServices.instanceName = instanceName;
  dialogServices.java = services.java;
  dialogServices.pickers = services.pickers.get();
  CInstanceSetWnd dialog(std::move(dialogServices));
  if (dialog.CreateFor(frame.GetHWND())) dialog.ShowModal();
}

}  // namespace kv
