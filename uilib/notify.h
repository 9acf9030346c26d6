#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>

#include "uilib/ui_types.h"

// Notifications that controls raise for the application, the events that the paint manager
// hands to controls, and the interfaces through which windows take part.
namespace kv::ui {

class CControlUI;

// Notification types.
inline const QString kNotifyWindowInit = QStringLiteral("windowinit");
inline const QString kNotifyClick = QStringLiteral("click");
inline const QString kNotifySelectChanged = QStringLiteral("selectchanged");
inline const QString kNotifySetFocus = QStringLiteral("setfocus");
inline const QString kNotifyKillFocus = QStringLiteral("killfocus");
inline const QString kNotifyItemSelect = QStringLiteral("itemselect");
inline const QString kNotifyItemClick = QStringLiteral("itemclick");
inline const QString kNotifyItemActivate = QStringLiteral("itemactivate");
inline const QString kNotifyItemDbClick = QStringLiteral("itemdbclick");
inline const QString kNotifyHeaderClick = QStringLiteral("headerclick");
inline const QString kNotifyDropDown = QStringLiteral("dropdown");
inline const QString kNotifyLink = QStringLiteral("link");
inline const QString kNotifyValueChanged = QStringLiteral("valuechanged");
inline const QString kNotifyTextChanged = QStringLiteral("textchanged");
inline const QString kNotifyReturn = QStringLiteral("return");
inline const QString kNotifyTabSelect = QStringLiteral("tabselect");
inline const QString kNotifyTimer = QStringLiteral("timer");
inline const QString kNotifyMenu = QStringLiteral("menu");
inline const QString kNotifyScroll = QStringLiteral("scroll");

struct TNotifyUI {
  QString sType;
  QString sVirtualWnd;
  CControlUI* pSender = nullptr;
  std::uint64_t dwTimestamp = 0;
  QPoint ptMouse;  // last mouse position, client coordinates
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Sees window messages before the paint manager does; sets `handled` to consume one.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

enum class UiEvent {
  MouseMove,
  MouseLeave,
  MouseEnter,
  MouseHover,
  ButtonDown,
  ButtonUp,
  RButtonDown,
  DblClick,
  ContextMenu,
  ScrollWheel,
  KeyDown,
  Char,
  SetFocus,
  KillFocus,
  Timer,
};

struct TEventUI {
  UiEvent type = UiEvent::MouseMove;
  CControlUI* pSender = nullptr;  // the control the event was first given to
  std::uint64_t dwTimestamp = 0;
  QPoint ptMouse;
  WPARAM chKey = 0;     // virtual key (KeyDown) or character (Char)
  UINT wKeyState = 0;   // MODIFIER_* bits
  WPARAM wParam = 0;    // ScrollWheel: 0 up, 1 down; Timer: timer id
  LPARAM lParam = 0;
};

// Control flags.
inline constexpr UINT UIFLAG_TABSTOP = 0x01;
inline constexpr UINT UIFLAG_SETCURSOR = 0x02;
inline constexpr UINT UIFLAG_WANTRETURN = 0x04;

// FindControl flags.
inline constexpr UINT UIFIND_ALL = 0x0;
inline constexpr UINT UIFIND_VISIBLE = 0x1;
inline constexpr UINT UIFIND_ENABLED = 0x2;
inline constexpr UINT UIFIND_HITTEST = 0x4;
inline constexpr UINT UIFIND_TOP_FIRST = 0x8;
inline constexpr UINT UIFIND_ME_FIRST = 0x80000000;

using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

}  // namespace kv::ui
