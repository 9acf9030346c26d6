#pragma once

#include "uilib/ui_types.h"

// The launcher's own window messages (WM_USER + 100 and up). Workers post them to the window
// named in each comment; every number means one thing, so a message that reaches the wrong
// window is never read as another. A message carries integers only: reports
// with text in them (output chunks, file names, retry reasons) reach their window as tasks
// (CWindowWnd::PostTask), and their numbers stay reserved for them.
namespace kv {

inline constexpr ui::UINT WMU_LOG_APPEND = ui::WM_USER + 100;        // log window: append an output chunk (a task)
inline constexpr ui::UINT WMU_SHOW = ui::WM_USER + 101;              // frame, loading window: show (wParam != 0) or hide
inline constexpr ui::UINT WMU_DL_FILE_INDEX = ui::WM_USER + 102;     // download window: file counter (position, count)
inline constexpr ui::UINT WMU_DL_PROGRESS = ui::WM_USER + 103;       // download window: progress bar (KiB received, of)
inline constexpr ui::UINT WMU_DL_FILE_INFO = ui::WM_USER + 104;      // download window: file name and size (a task)
inline constexpr ui::UINT WMU_DL_SPEED = ui::WM_USER + 105;          // download window: speed
inline constexpr ui::UINT WMU_MOD_ADD_ITEM = ui::WM_USER + 106;      // frame: append a catalogue entry to the mod list
inline constexpr ui::UINT WMU_FETCH_VERSIONS = ui::WM_USER + 107;    // add-instance dialog: fetch the version list
inline constexpr ui::UINT WMU_SHOW_LOG = ui::WM_USER + 108;          // frame: show or hide the log window
inline constexpr ui::UINT WMU_LOG_CLEAR = ui::WM_USER + 109;         // log window: empty the log
inline constexpr ui::UINT WMU_MOD_INSTALLED = ui::WM_USER + 110;     // frame: mark a mod list item installed
inline constexpr ui::UINT WMU_MOD_SELECT_FIRST = ui::WM_USER + 111;  // frame: select the first mod
inline constexpr ui::UINT WMU_MOD_RELOAD = ui::WM_USER + 112;        // frame: reload the mod list
inline constexpr ui::UINT WMU_MOD_STATUS = ui::WM_USER + 113;        // frame: mod tab placeholder
inline constexpr ui::UINT WMU_UPDATE_FOUND = ui::WM_USER + 114;      // frame: the start-up check found a newer launcher
inline constexpr ui::UINT WMU_DL_RETRYING = ui::WM_USER + 115;       // download window: a file is tried again (a task)
inline constexpr ui::UINT WMU_DOWNLOAD_JAVA = ui::WM_USER + 116;     // frame: a launch found no Java that fits and the player wants one
inline constexpr ui::UINT WMU_VERSION_ADD_ITEM = ui::WM_USER + 117;  // version picker: append a list element (a task)
inline constexpr ui::UINT WMU_MENU_COMMAND = ui::WM_USER + 121;      // frame: a menu item was chosen (see menu_wnd.h)

static_assert(WMU_LOG_APPEND == 1124 && WMU_MOD_STATUS == 1137 && WMU_MENU_COMMAND == 1145);

}  // namespace kv
