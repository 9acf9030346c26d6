#pragma once

#include "uilib/window.h"

namespace kv {

// The window style of the launcher's modal dialogs: a visible popup that clips its children.
inline constexpr ui::UINT kModalDialogStyle = 0x96C80000;

// Creates `dialog` as a modal dialog of `owner` with the title `name`, centred on it.
inline bool CreateCentredDialog(ui::CWindowWnd& dialog, ui::HWND owner, const QString& name) {
  if (!dialog.Create(owner, name, kModalDialogStyle, ui::WS_EX_WINDOWEDGE)) return false;
  dialog.CenterWindow();
  return true;
}

}  // namespace kv
