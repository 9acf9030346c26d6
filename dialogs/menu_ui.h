#pragma once

#include "uilib/list.h"

// The controls of a popup menu: CMenuUI, the list that holds the items, and CMenuElementUI, an
// item with an icon column, an optional check mark and sub-menu arrow, or a separator line.
namespace kv::ui {

class CMenuWnd;

class CMenuUI : public CListUI {
 public:
  CMenuUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  // The widest visible item by the sum of the visible items' heights, plus the insets.
  QSize EstimateSize(QSize available) override;
};

class CMenuElementUI : public CListContainerElementUI {
 public:
  static constexpr int kIconColumn = 35;
  static constexpr int kSeparatorHeight = 10;

  CMenuElementUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  bool IsSeparator() const { return separator_; }
  bool IsCheckItem() const { return checkItem_; }
  // The check state, kept per item name for the whole run.
  bool GetChecked() const;
  void SetChecked(bool checked);
  bool HasSubMenu() const;
  // The child items that make up this item's sub-menu.
  std::vector<CMenuElementUI*> SubItems() const;
  CMenuWnd* GetSubMenuWindow() const { return subMenu_; }
  void SetSubMenuWindow(CMenuWnd* window) { subMenu_ = window; }

  bool AddAt(CControlUI* control, int index) override;
  QSize EstimateSize(QSize available) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoPaint(QPainter& painter, const UiRect& paint) override;
  void PaintStatusImage(QPainter& painter) override;

  // Opens the sub-menu, or reports the choice to the window that opened the menu and closes
  // every menu. Separators and disabled items do nothing.
  void Choose();

 private:
  QString icon_;
  QSize iconSize_{16, 16};
  ARGB lineColor_ = 0xFFB5B5B5;
  bool separator_ = false;
  bool checkItem_ = false;
  bool expand_ = false;
  CMenuWnd* subMenu_ = nullptr;
};

}  // namespace kv::ui
