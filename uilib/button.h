#pragma once

#include "uilib/label.h"

// Button: raises `click` when activated by the mouse (released inside) or by Space or Enter.
// Option: a button that stays selected; options of one group exclude each other window-wide.
// CheckBox: an option whose selection is its check mark.
namespace kv::ui {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;
  Qt::CursorShape GetCursor() const override;

  bool Activate() override;
  void SetEnabled(bool enabled = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

  const QString& GetNormalImage() const { return normalImage_; }
  void SetNormalImage(const QString& image);
  void SetHotImage(const QString& image);
  void SetPushedImage(const QString& image);
  void SetFocusedImage(const QString& image);
  void SetDisabledImage(const QString& image);
  void SetForeImage(const QString& image);
  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }

 protected:
  // The text colour for the current state: pushed, then hot, then focused, then the label's.
  ARGB StateTextColor() const;

  bool hot_ = false;
  bool pushed_ = false;
  bool captured_ = false;
  QString normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
  QString foreImage_, hotForeImage_;
  ARGB hotTextColor_ = 0, pushedTextColor_ = 0, focusedTextColor_ = 0, hotBkColor_ = 0;
};

class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  const QString& GetGroup() const { return group_; }
  void SetGroup(const QString& group);
  bool IsSelected() const { return selected_; }
  // Selecting a grouped option deselects the rest of its group silently; `selectchanged` comes
  // from the option that became selected (and from ungrouped options on every change).
  virtual void Selected(bool selected, bool triggerEvent = true);

  bool Activate() override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 protected:
  bool selected_ = false;
  QString group_;
  QString selectedImage_, selectedHotImage_, selectedForeImage_;
  ARGB selectedTextColor_ = 0, selectedBkColor_ = 0;
};

class CCheckBoxUI : public COptionUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  bool GetCheck() const { return IsSelected(); }
  void SetCheck(bool check, bool triggerEvent = true) { Selected(check, triggerEvent); }
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 private:
  // Without skin images the box is drawn by the library at the left.
  bool DrawsOwnBox() const;
};

}  // namespace kv::ui
