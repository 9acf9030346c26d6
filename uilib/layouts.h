#pragma once

#include "uilib/container.h"

// The layouts: children stacked top to bottom or left to right, in a grid of tiles, or as
// pages of which one shows at a time.
namespace kv::ui {

// Horizontal placement of narrower children ("left", "center", "right") and vertical placement
// of shorter ones ("top", "vcenter", "bottom").
enum class ChildAlign { kStart, kCenter, kEnd };

class CVerticalLayoutUI : public CContainerUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetAttribute(const QString& name, const QString& value) override;

 protected:
  ChildAlign childAlign_ = ChildAlign::kStart;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetAttribute(const QString& name, const QString& value) override;

 protected:
  ChildAlign childVAlign_ = ChildAlign::kStart;
};

class CTileLayoutUI : public CContainerUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetAttribute(const QString& name, const QString& value) override;

  int GetColumns() const { return columns_; }
  void SetColumns(int columns);
  QSize GetItemSize() const { return itemSize_; }
  void SetItemSize(QSize size);

 private:
  int columns_ = 0;
  QSize itemSize_{0, 0};
  int childVPadding_ = 0;
  ChildAlign childAlign_ = ChildAlign::kCenter;
  ChildAlign childVAlign_ = ChildAlign::kCenter;
};

class CTabLayoutUI : public CContainerUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  bool AddAt(CControlUI* control, int index) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;
  int GetCurSel() const { return curSel_; }
  // Shows page `index`, hides the others and raises `tabselect` (new, old).
  virtual bool SelectItem(int index);
  bool SelectItem(CControlUI* page);

  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetAttribute(const QString& name, const QString& value) override;

 protected:
  UiRect PageRect(CControlUI* page) const;
  int curSel_ = -1;
};

// A tab layout whose new page slides in.
class CAnimationTabLayoutUI : public CTabLayoutUI {
 public:
  static constexpr int kTimerId = 0x5A1;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  bool SelectItem(int index) override;
  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  bool IsAnimating() const { return step_ < kSteps; }

 private:
  static constexpr int kSteps = 8;
  bool vertical_ = false;
  int direction_ = 1;
  int step_ = kSteps;
};

}  // namespace kv::ui
