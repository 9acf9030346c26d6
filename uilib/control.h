#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <cstdint>

#include "uilib/notify.h"
#include "uilib/ui_types.h"

class QPainter;

// The base of every control: a rectangle in window coordinates with a name, text, colours,
// images and a border, placed by its parent's layout and painted by the paint manager.
namespace kv::ui {

class CPaintManagerUI;

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual QString GetClass() const;
  // The object viewed as the interface `name` ("Control", "Button", ...); null when it is not one.
  virtual void* GetInterface(const QString& name);
  virtual UINT GetControlFlags() const;
  virtual Qt::CursorShape GetCursor() const;

  const QString& GetName() const { return name_; }
  virtual void SetName(const QString& name);

  CPaintManagerUI* GetManager() const { return manager_; }
  CControlUI* GetParent() const { return parent_; }
  // Joins the control to a window's tree; `init` runs DoInit once the manager is known.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  virtual void Init();
  virtual void DoInit();

  virtual QString GetText() const;
  virtual void SetText(const QString& text);
  const QString& GetToolTip() const { return tooltip_; }
  void SetToolTip(const QString& text) { tooltip_ = text; }
  const QString& GetUserData() const { return userData_; }
  void SetUserData(const QString& data) { userData_ = data; }
  std::uintptr_t GetTag() const { return tag_; }
  void SetTag(std::uintptr_t tag) { tag_ = tag; }
  QString GetVirtualWnd() const;
  void SetVirtualWnd(const QString& name) { virtualWnd_ = name; }

  // Geometry. `pos` fixes x,y (used when floating) and the width and height.
  const UiRect& GetPos() const { return rcItem_; }
  virtual void SetPos(UiRect rc, bool needInvalidate = true);
  int GetWidth() const { return rcItem_.Width(); }
  int GetHeight() const { return rcItem_.Height(); }
  const UiRect& GetPadding() const { return rcPadding_; }
  void SetPadding(const UiRect& padding);
  QPoint GetFixedXY() const { return fixedXY_; }
  void SetFixedXY(QPoint xy);
  int GetFixedWidth() const { return cxyFixed_.width(); }
  void SetFixedWidth(int cx);
  int GetFixedHeight() const { return cxyFixed_.height(); }
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return cxyMin_.width(); }
  void SetMinWidth(int cx);
  int GetMaxWidth() const { return cxyMax_.width(); }
  void SetMaxWidth(int cx);
  int GetMinHeight() const { return cxyMin_.height(); }
  void SetMinHeight(int cy);
  int GetMaxHeight() const { return cxyMax_.height(); }
  void SetMaxHeight(int cy);
  // The size this control would like within `available`; 0 in a dimension means "whatever is given".
  virtual QSize EstimateSize(QSize available);

  bool IsFloat() const { return float_; }
  void SetFloat(bool isFloat);
  // Fractions of the parent's width and height that a floating control is anchored to.
  struct FloatPercent {
    double left = 0, top = 0, right = 0, bottom = 0;
  };
  const FloatPercent& GetFloatPercent() const { return floatPercent_; }
  // The rectangle of a floating child inside `parent` (the parent's full rectangle).
  UiRect FloatRect(const UiRect& parent) const;

  virtual bool IsVisible() const { return visible_ && internVisible_; }
  virtual void SetVisible(bool visible = true);
  // Visibility given by an ancestor (a hidden container hides its subtree).
  virtual void SetInternVisible(bool visible = true);
  virtual bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool IsKeyboardEnabled() const { return keyboardEnabled_; }
  void SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }
  virtual bool IsFocused() const { return focused_; }
  virtual void SetFocus();
  bool IsContextMenuUsed() const { return menuUsed_; }
  void SetContextMenuUsed(bool used) { menuUsed_ = used; }
  QChar GetShortcut() const { return shortcut_; }
  void SetShortcut(QChar ch) { shortcut_ = ch; }

  ARGB GetBkColor() const { return bkColor_[0]; }
  void SetBkColor(ARGB color);
  ARGB GetBkColor2() const { return bkColor_[1]; }
  void SetBkColor2(ARGB color);
  ARGB GetBkColor3() const { return bkColor_[2]; }
  void SetBkColor3(ARGB color);
  const QString& GetBkImage() const { return bkImage_; }
  void SetBkImage(const QString& image);
  ARGB GetBorderColor() const { return borderColor_; }
  void SetBorderColor(ARGB color);
  void SetFocusBorderColor(ARGB color);
  void SetBorderSize(int size);
  void SetBorderSize(const UiRect& sides);
  QSize GetBorderRound() const { return borderRound_; }
  void SetBorderRound(QSize round);

  virtual void SetAttribute(const QString& name, const QString& value);
  CControlUI* ApplyAttributeList(const QString& list);
  // Attributes that no control understands are kept and can be read back.
  QString GetCustomAttribute(const QString& name) const { return custom_.value(name.toLower()); }

  virtual CControlUI* FindControl(FindControlProc proc, void* data, UINT flags);

  void Invalidate();
  void NeedUpdate();
  void NeedParentUpdate();

  void Event(TEventUI& event) { DoEvent(event); }
  virtual void DoEvent(TEventUI& event);
  virtual bool Activate();

  virtual void DoPaint(QPainter& painter, const UiRect& paint);
  virtual void PaintBkColor(QPainter& painter);
  virtual void PaintBkImage(QPainter& painter);
  virtual void PaintStatusImage(QPainter& painter);
  virtual void PaintText(QPainter& painter);
  virtual void PaintBorder(QPainter& painter);
  // The ring the focused Tab stop wears while the keyboard moves the focus.
  void PaintFocusMark(QPainter& painter);
  // Containers paint their children here, inside the control's rounded clip, before the border.
  virtual void PaintChildren(QPainter& painter, const UiRect& paint);
  // Draws an image string over this control, clipped to what is being painted.
  bool DrawImage(QPainter& painter, const QString& image, const QString& modifier = {});

  // What a container keeps clear of children at its edges (inset and scroll bars).
  virtual UiRect ContentInsets() const { return {}; }
  // True when this control and every ancestor are visible.
  bool IsVisibleInTree() const;
  // The part of this control that its ancestors leave visible (their content rectangles).
  UiRect VisibleRect() const;

 protected:
  QFont FontFor(int id) const;
  void SendNotify(const QString& type, WPARAM wParam = 0, LPARAM lParam = 0);

  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  QString name_;
  QString text_;
  QString tooltip_;
  QString userData_;
  QString virtualWnd_;
  std::uintptr_t tag_ = 0;
  UiRect rcItem_;
  UiRect rcPadding_;
  UiRect rcPaint_;  // what the current paint covers, inside rcItem_
  QPoint fixedXY_;
  QSize cxyFixed_{0, 0};
  QSize cxyMin_{0, 0};
  QSize cxyMax_{9999, 9999};
  FloatPercent floatPercent_;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool focused_ = false;
  bool float_ = false;
  bool menuUsed_ = false;
  bool initialised_ = false;
  QChar shortcut_;
  ARGB bkColor_[3] = {0, 0, 0};
  ARGB borderColor_ = 0;
  ARGB focusBorderColor_ = 0;
  UiRect borderSides_;
  int borderSize_ = 0;
  QSize borderRound_{0, 0};
  QString bkImage_;
  QHash<QString, QString> custom_;
};

}  // namespace kv::ui
