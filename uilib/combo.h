#pragma once

#include <QPointer>
#include <memory>

#include "uilib/list.h"

#include <QComboBox>

// A drop-down choice among its child list elements. A native combo box sits over the control
// (keyboard, wheel and the popup list come from it); the control paints the skin underneath.
// Selection changes raise `itemselect` (new, old) from the combo; opening raises `dropdown`.
namespace kv::ui {

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  ~CComboUI() override;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;
  Qt::CursorShape GetCursor() const override;

  // The text of the selected item; in an editable combo, the text in its field.
  QString GetText() const override;
  // Puts `text` in the field of an editable combo; otherwise only the control's own text.
  void SetText(const QString& text) override;
  bool AddAt(CControlUI* control, int index) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;

  TListInfoUI* GetListInfo() override { return &info_; }
  int GetCurSel() const override { return curSel_; }
  bool SelectItem(int index, bool takeFocus = false) override;
  CControlUI* OwnerControl() override { return this; }
  QComboBox* GetNativeCombo() const { return native_; }
  // Brings the native list up to date with the items' texts.
  void SyncItems();

  QSize EstimateSize(QSize available) override;
  void DoInit() override;
  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;
  void PaintChildren(QPainter& painter, const UiRect& paint) override;

  void SetHot(bool hot);
  void NotifyDropDown();

 private:
  void ApplyStyle();
  void UpdateNative();
  void Reindex();

  QPointer<QComboBox> native_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  TListInfoUI info_;
  int curSel_ = -1;
  int font_ = -1;
  ARGB textColor_ = 0;
  UiRect textPadding_{4, 0, 4, 0};
  bool showText_ = true;
  // The field takes typed text, which need not be one of the items.
  bool editable_ = false;
  bool hot_ = false;
  QString dropBox_;
  QSize dropBoxSize_{0, 150};
  QString normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
};

}  // namespace kv::ui
