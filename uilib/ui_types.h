#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <algorithm>
#include <cstdint>

// Basic types of the GUI library: message words, the rectangle the layouts use, and the window
// message numbers that windows exchange. The numbers are the classic desktop ones so that the
// launcher's message table keeps its meaning on every platform.
namespace kv::ui {

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ARGB = std::uint32_t;
using CDuiString = QString;

// A rectangle as layouts write it: left, top, right, bottom with right and bottom exclusive.
// Also used for four margins (insets, padding, corners).
struct UiRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  constexpr bool Contains(QPoint p) const {
    return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
  }
  constexpr UiRect Intersected(const UiRect& o) const {
    UiRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
             std::min(bottom, o.bottom)};
    if (r.IsEmpty()) return {};
    return r;
  }
  constexpr bool Intersects(const UiRect& o) const { return !Intersected(o).IsEmpty(); }
  constexpr UiRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  // Shrinks by margins given as a UiRect (each side inward).
  constexpr UiRect Deflated(const UiRect& m) const {
    return {left + m.left, top + m.top, right - m.right, bottom - m.bottom};
  }
  constexpr UiRect Inflated(const UiRect& m) const {
    return {left - m.left, top - m.top, right + m.right, bottom + m.bottom};
  }
  QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
  static UiRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
  constexpr bool operator==(const UiRect&) const = default;
};

constexpr LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint32_t>(low) & 0xFFFFu) |
                                                        ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16)));
}
constexpr int LowSigned(LPARAM v) { return static_cast<std::int16_t>(static_cast<std::uint32_t>(v) & 0xFFFFu); }
constexpr int HighSigned(LPARAM v) { return static_cast<std::int16_t>((static_cast<std::uint32_t>(v) >> 16) & 0xFFFFu); }
constexpr QPoint PointFromLParam(LPARAM v) { return {LowSigned(v), HighSigned(v)}; }
constexpr LPARAM LParamFromPoint(QPoint p) { return MakeLParam(p.x(), p.y()); }

// Window messages.
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_GETMINMAXINFO = 0x0024;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_NCCALCSIZE = 0x0083;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_NCPAINT = 0x0085;
inline constexpr UINT WM_NCACTIVATE = 0x0086;
inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT WM_USER = 0x0400;

// WM_SIZE kinds.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND commands.
inline constexpr WPARAM SC_SIZE = 0xF000;
inline constexpr WPARAM SC_MOVE = 0xF010;
inline constexpr WPARAM SC_MINIMIZE = 0xF020;
inline constexpr WPARAM SC_MAXIMIZE = 0xF030;
inline constexpr WPARAM SC_CLOSE = 0xF060;
inline constexpr WPARAM SC_RESTORE = 0xF120;

// WM_NCHITTEST answers.
inline constexpr LRESULT HTNOWHERE = 0;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr LRESULT HTCAPTION = 2;
inline constexpr LRESULT HTLEFT = 10;
inline constexpr LRESULT HTRIGHT = 11;
inline constexpr LRESULT HTTOP = 12;
inline constexpr LRESULT HTTOPLEFT = 13;
inline constexpr LRESULT HTTOPRIGHT = 14;
inline constexpr LRESULT HTBOTTOM = 15;
inline constexpr LRESULT HTBOTTOMLEFT = 16;
inline constexpr LRESULT HTBOTTOMRIGHT = 17;

// Modal results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDCLOSE = 8;

// Virtual key codes carried in WM_KEYDOWN's wParam; its lParam carries the MODIFIER_* bits.
// Mouse messages carry the client point in lParam (WM_CONTEXTMENU: the screen point); WM_MOUSEWHEEL
// carries the wheel delta in the high word of wParam.
inline constexpr WPARAM VK_BACK = 0x08;
inline constexpr WPARAM VK_TAB = 0x09;
inline constexpr WPARAM VK_RETURN = 0x0D;
inline constexpr WPARAM VK_SHIFT = 0x10;
inline constexpr WPARAM VK_CONTROL = 0x11;
inline constexpr WPARAM VK_MENU = 0x12;
inline constexpr WPARAM VK_ESCAPE = 0x1B;
inline constexpr WPARAM VK_SPACE = 0x20;
inline constexpr WPARAM VK_PRIOR = 0x21;
inline constexpr WPARAM VK_NEXT = 0x22;
inline constexpr WPARAM VK_END = 0x23;
inline constexpr WPARAM VK_HOME = 0x24;
inline constexpr WPARAM VK_LEFT = 0x25;
inline constexpr WPARAM VK_UP = 0x26;
inline constexpr WPARAM VK_RIGHT = 0x27;
inline constexpr WPARAM VK_DOWN = 0x28;
inline constexpr WPARAM VK_DELETE = 0x2E;
inline constexpr WPARAM VK_F4 = 0x73;

// Modifier bits carried in the key events of controls.
inline constexpr UINT MODIFIER_SHIFT = 0x1;
inline constexpr UINT MODIFIER_CONTROL = 0x2;
inline constexpr UINT MODIFIER_ALT = 0x4;

// Window style bits that Create understands.
inline constexpr UINT WS_VISIBLE = 0x10000000;
inline constexpr UINT WS_POPUP = 0x80000000;
inline constexpr UINT WS_CLIPSIBLINGS = 0x04000000;
inline constexpr UINT WS_CLIPCHILDREN = 0x02000000;
inline constexpr UINT WS_MAXIMIZEBOX = 0x00010000;
inline constexpr UINT WS_MINIMIZEBOX = 0x00020000;
inline constexpr UINT WS_EX_TOPMOST = 0x00000008;
inline constexpr UINT WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr UINT WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

}  // namespace kv::ui
