#pragma once

#include <vector>

#include "uilib/control.h"

// A control that holds others. The plain container stacks every child over its content
// rectangle; the layouts derive from it.
namespace kv::ui {

class CScrollBarUI;

class CContainerUI : public CControlUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(CControlUI* control) const;
  bool SetItemIndex(CControlUI* control, int index);
  int GetCount() const { return static_cast<int>(items_.size()); }
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  // Takes the control out; it is destroyed (after the current event) unless `doNotDestroy`.
  virtual bool Remove(CControlUI* control, bool doNotDestroy = false);
  virtual bool RemoveAt(int index, bool doNotDestroy = false);
  virtual void RemoveAll();
  void SetAutoDestroy(bool autoDestroy) { autoDestroy_ = autoDestroy; }
  void SetDelayedDestroy(bool delayed) { delayedDestroy_ = delayed; }

  const UiRect& GetInset() const { return inset_; }
  void SetInset(const UiRect& inset);
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int padding);
  bool IsMouseChildEnabled() const { return mouseChildEnabled_; }
  void SetMouseChildEnabled(bool enabled) { mouseChildEnabled_ = enabled; }

  // Scrolling.
  void EnableScrollBar(bool vertical, bool horizontal);
  CScrollBarUI* GetVerticalScrollBar() const { return vscroll_; }
  CScrollBarUI* GetHorizontalScrollBar() const { return hscroll_; }
  QSize GetScrollPos() const;
  QSize GetScrollRange() const;
  virtual void SetScrollPos(QSize pos);
  void LineUp();
  void LineDown();
  void PageUp();
  void PageDown();
  void HomeUp();
  void EndDown();
  void LineLeft();
  void LineRight();
  int ScrollUnit() const;

  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;
  void PaintChildren(QPainter& painter, const UiRect& paint) override;
  UiRect ContentInsets() const override;

  // Finds a control named `name` in this subtree.
  CControlUI* FindSubControl(const QString& name);

 protected:
  // Content rectangle: the item rectangle less the inset and the visible scroll bars.
  UiRect ContentRect() const;
  // Places the floating children relative to the full item rectangle.
  void PlaceFloatingChildren();
  // Shows, hides and sizes the scroll bars for content that needs `needed` pixels; lays out
  // again when a bar appears or disappears.
  void ProcessScrollBar(const UiRect& content, int cxNeeded, int cyNeeded);
  void ReleaseChild(CControlUI* control, bool doNotDestroy);

  std::vector<CControlUI*> items_;
  UiRect inset_;
  int childPadding_ = 0;
  int scrollUnit_ = 0;
  bool autoDestroy_ = true;
  bool delayedDestroy_ = true;
  bool mouseChildEnabled_ = true;
  bool scrollProcessing_ = false;
  CScrollBarUI* vscroll_ = nullptr;
  CScrollBarUI* hscroll_ = nullptr;
};

}  // namespace kv::ui
