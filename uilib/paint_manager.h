#pragma once

#include <QFont>
#include <QHash>
#include <QPalette>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "uilib/notify.h"
#include "uilib/ui_types.h"

class QPainter;
class QTimer;

// CPaintManagerUI owns the control tree of one window: it lays it out, paints it, turns the
// window's mouse and keyboard messages into control events (hot, pushed, captured and focused
// controls, tooltips), and delivers the controls' notifications to the registered INotifyUI.
namespace kv::ui {

class CControlUI;

// What WM_PAINT carries in lParam.
struct PaintContext {
  QPainter* painter = nullptr;
  UiRect dirty;
};

// The drop shadow of a window, drawn from an image as a 9-slice around it.
struct ShadowInfo {
  bool show = false;
  QString image;
  UiRect corner;
  int size = 0;  // how far the shadow reaches out on each side
  QPoint offset;
  ARGB color = 0;
  int darkness = 150;
  int sharpness = 5;
  // How far the shadow reaches out on each side (its size, or the image corners without one).
  UiRect Margins() const;
};

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // Process-wide set-up: where layouts and images come from.
  static void SetInstance(void* module = nullptr);
  static bool SetResourceZip(std::string_view archive);
  static void SetResourcePath(const QString& folder);
  // The manager painting `window`, if any.
  static CPaintManagerUI* ForWindow(const QWidget* window);

  void Init(QWidget* window);
  QWidget* GetPaintWindow() const { return window_; }
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }

  // Window attributes from the layout's <Window> tag.
  QSize GetInitSize() const { return initSize_; }
  void SetInitSize(int cx, int cy);
  QSize GetMinInfo() const { return minInfo_; }
  void SetMinInfo(int cx, int cy);
  QSize GetMaxInfo() const { return maxInfo_; }
  void SetMaxInfo(int cx, int cy);
  const UiRect& GetCaptionRect() const { return caption_; }
  void SetCaptionRect(const UiRect& rc) { caption_ = rc; }
  const UiRect& GetSizeBox() const { return sizeBox_; }
  void SetSizeBox(const UiRect& rc) { sizeBox_ = rc; }
  QSize GetRoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int cx, int cy) { roundCorner_ = {cx, cy}; }
  int GetOpacity() const { return opacity_; }
  void SetOpacity(int opacity);
  bool IsLayered() const { return layered_; }
  // A layered window has per-pixel alpha: what the layout leaves transparent shows through.
  void SetLayered(bool layered);
  const ShadowInfo& GetShadow() const { return shadow_; }
  ShadowInfo& Shadow() { return shadow_; }
  void SetShowUpdateRect(bool show) { showUpdateRect_ = show; }
  void SetToolTipHoverTime(int ms) { tooltipHoverTime_ = std::max(1, ms); }
  // Applies one <Window> attribute; unknown ones are kept as custom attributes.
  void SetWindowAttribute(const QString& name, const QString& value);
  QString GetWindowCustomAttribute(const QString& name) const { return windowCustom_.value(name.toLower()); }

  ARGB GetDefaultFontColor() const { return defaultFontColor_; }
  ARGB GetDefaultDisabledColor() const { return disabledFontColor_; }
  ARGB GetDefaultLinkFontColor() const { return linkFontColor_; }
  ARGB GetDefaultLinkHoverFontColor() const { return linkHoverFontColor_; }
  ARGB GetDefaultSelectedBkColor() const { return selectedColor_; }

  // Fonts by id; -1 or an unknown id is the default font.
  void AddFont(int id, const QFont& font, bool shared = false);
  QFont GetFont(int id) const;
  QFont GetDefaultFont() const;
  void SetDefaultFont(const QFont& font, bool shared = false);
  int GetDefaultFontHeight() const;
  int GetFontHeight(int id) const;

  // Attribute lists applied to every element of a tag before its own attributes.
  void AddDefaultAttributeList(const QString& tag, const QString& list, bool shared = false);
  QString GetDefaultAttributeList(const QString& tag) const;

  // Named attribute lists that a control's style="name" applies.
  void AddStyle(const QString& name, const QString& list, bool shared = false);
  QString GetStyle(const QString& name) const;

  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  void SendNotify(TNotifyUI& msg, bool async = false);
  void SendNotify(CControlUI* control, const QString& type, WPARAM wParam = 0, LPARAM lParam = 0, bool async = false);
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);
  bool AddMessageFilter(IMessageFilterUI* filter);
  bool RemoveMessageFilter(IMessageFilterUI* filter);

  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  // Moves the focus to the next (or previous) control that takes Tab stops, in the order they
  // stand on the window, and brings it into view.
  bool SetNextTabControl(bool forward = true);
  // Whether the focused control wears the focus mark: from the moment the keyboard moves the
  // focus until the next click, so that a player who clicks sees no rings.
  bool IsFocusMarkShown() const { return focusMarkShown_; }
  void ShowFocusMark(bool show);
  // The control that wears the mark: the focused control, or the Tab stop it lies in (a list
  // around its focused row).
  CControlUI* FocusMarkHolder() const;
  ARGB GetFocusMarkColor() const { return focusMarkColor_; }
  CControlUI* GetHot() const { return hot_; }
  void SetCapture();
  void ReleaseCapture();
  bool IsCaptured() const { return captured_; }
  QPoint GetMousePos() const { return lastMouse_; }
  QPoint ClientToScreen(QPoint client) const;

  // The first control of the tree with this name.
  CControlUI* FindControl(const QString& name);
  // The topmost visible, mouse-enabled control under a client point.
  CControlUI* FindControl(QPoint pt);
  CControlUI* FindSubControlByName(CControlUI* parent, const QString& name);
  CControlUI* FindSubControlByClass(CControlUI* parent, const QString& className, int index = 0);

  void AddOptionGroup(const QString& group, CControlUI* control);
  const std::vector<CControlUI*>* GetOptionGroup(const QString& group) const;
  void RemoveOptionGroup(const QString& group, CControlUI* control);

  // Control timers raise the Timer event (wParam = id) every `elapse` ms.
  bool SetTimer(CControlUI* control, UINT id, UINT elapse);
  bool KillTimer(CControlUI* control, UINT id);
  void KillTimers(CControlUI* control);

  // Forgets every reference to a control (and its subtree) that is going away.
  void ReapObjects(CControlUI* control);
  // Destroys a removed control once the event being handled is over.
  void AddDelayedCleanup(CControlUI* control);

  void Invalidate();
  void Invalidate(const UiRect& rc);
  // Asks for a layout pass before the next paint.
  void NeedUpdate();
  bool IsUpdateNeeded() const { return layoutPending_; }
  // Lays the tree out now if anything asked for it.
  void UpdateLayout();
  UiRect ClientRect() const;

  // Keyboard pre-filtering (Tab, Alt+shortcut) and the pre-message filters.
  bool PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The manager's own message handling; false when the message was not for it.
  bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  QSystemTrayIcon* GetTrayObject();

 private:
  void Paint(const PaintContext& context);
  void Unregister();
  void DispatchEvent(CControlUI* control, TEventUI& event);
  // Pointer messages: the client point in `lParam`, noted as the last mouse position.
  QPoint TrackPointer(LPARAM lParam);
  // The control under `pt` that this manager drives; null over nothing or another's control.
  CControlUI* OwnControlAt(QPoint pt);
  // What a pointer event carries besides its point.
  struct PointerDetails {
    UINT keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };
  void DispatchPointerEvent(CControlUI* target, UiEvent type, QPoint pt, PointerDetails details);
  void SetHot(CControlUI* control, QPoint pt);
  void ScheduleFlush();
  void Flush();
  void UpdateCursor();
  void ShowToolTip();
  void SetToolTipColor(QPalette::ColorRole role, ARGB color);

  QPointer<QWidget> window_;
  const QWidget* registeredWindow_ = nullptr;  // the key of this manager in the window registry
  std::unique_ptr<QObject> context_;  // owns timers and queued calls; they die with the manager
  CControlUI* root_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* hot_ = nullptr;
  CControlUI* eventClick_ = nullptr;
  CControlUI* eventRClick_ = nullptr;
  bool captured_ = false;
  QPoint lastMouse_;
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> preFilters_;
  std::vector<IMessageFilterUI*> filters_;
  std::vector<TNotifyUI> asyncNotifications_;
  std::vector<CControlUI*> delayedCleanup_;
  bool flushScheduled_ = false;
  int dispatchDepth_ = 0;
  bool layoutPending_ = true;
  bool layingOut_ = false;
  bool firstLayoutDone_ = false;
  bool windowInitSent_ = false;
  bool focusMarkShown_ = false;

  struct Timer {
    CControlUI* control;
    UINT id;
    QTimer* timer;
  };
  std::vector<Timer> timers_;
  QTimer* tooltipTimer_ = nullptr;
  std::map<QString, std::vector<CControlUI*>> optionGroups_;
  QHash<QString, QString> defaultAttributes_;
  QHash<QString, QString> styles_;
  std::map<int, QFont> fonts_;
  std::unique_ptr<QFont> defaultFont_;
  QPointer<QSystemTrayIcon> tray_;

  QSize initSize_{0, 0};
  QSize minInfo_{0, 0};
  QSize maxInfo_{0, 0};
  UiRect caption_;
  UiRect sizeBox_;
  QSize roundCorner_{0, 0};
  int opacity_ = 255;
  bool layered_ = false;
  bool showUpdateRect_ = false;
  int tooltipHoverTime_ = 1000;
  ShadowInfo shadow_;
  bool shadowShowGiven_ = false;
  ARGB defaultFontColor_ = 0xFF000000;
  ARGB disabledFontColor_ = 0xFFA7A6AA;
  ARGB linkFontColor_ = 0xFF0000FF;
  ARGB linkHoverFontColor_ = 0xFFD3215F;
  ARGB selectedColor_ = 0xFFBAE4FF;
  ARGB focusMarkColor_ = 0xFF2F7BD6;
  QHash<QString, QString> windowCustom_;
};

}  // namespace kv::ui
