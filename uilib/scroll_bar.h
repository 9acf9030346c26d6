#pragma once

#include "uilib/control.h"

// The scroll bars that containers create for themselves: two optional arrow buttons, a rail
// and a thumb whose length shows how much of the content is visible.
namespace kv::ui {

class CContainerUI;

class CScrollBarUI : public CControlUI {
 public:
  static constexpr int kDefaultThickness = 16;

  CScrollBarUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  CContainerUI* GetOwner() const { return owner_; }
  void SetOwner(CContainerUI* owner) { owner_ = owner; }
  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  int GetScrollRange() const { return range_; }
  void SetScrollRange(int range);
  int GetScrollPos() const { return pos_; }
  void SetScrollPos(int pos);
  int GetLineSize() const { return lineSize_; }
  void SetLineSize(int size) { lineSize_ = std::max(1, size); }
  int Thickness() const;

  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoPaint(QPainter& painter, const UiRect& paint) override;

  UiRect Button1Rect() const { return button1_; }
  UiRect Button2Rect() const { return button2_; }
  UiRect ThumbRect() const { return thumb_; }

 private:
  enum Part { kNone, kButton1, kButton2, kThumb, kRail };
  struct PartImages {
    QString normal, hot, pushed, disabled;
  };
  Part PartAt(QPoint pt) const;
  bool ButtonsShown(int which) const;
  void LayoutParts();
  void Scroll(int delta);
  void PaintPart(QPainter& painter, const UiRect& rc, const PartImages& images, Part part);

  CContainerUI* owner_ = nullptr;
  bool horizontal_ = false;
  int range_ = 100;
  int pos_ = 0;
  int lineSize_ = 8;
  bool showButton1_ = true;
  bool showButton2_ = true;
  Part hot_ = kNone;
  Part pushed_ = kNone;
  int dragStartPos_ = 0;
  QPoint dragStartPoint_;
  UiRect button1_;
  UiRect button2_;
  UiRect thumb_;
  UiRect rail_;
  PartImages button1Images_, button2Images_, thumbImages_, railImages_, bkImages_;
  ARGB thumbColor_ = 0xFFC2C2C2;
  ARGB thumbHotColor_ = 0xFF9E9E9E;
};

}  // namespace kv::ui
