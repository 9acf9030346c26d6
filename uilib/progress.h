#pragma once

#include "uilib/label.h"

// Progress: a bar filled in proportion to its value, drawn with `foreimage` (squeezed into the
// filled part, or revealed with isstretchfore="false") or a colour.
// Slider: a progress bar with a thumb the user drags; raises `valuechanged`.
namespace kv::ui {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  int GetMinValue() const { return min_; }
  void SetMinValue(int min);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int max);
  int GetValue() const { return value_; }
  // Clamped to min..max.
  void SetValue(int value);
  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  const QString& GetForeImage() const { return foreImage_; }
  void SetForeImage(const QString& image);

  QSize EstimateSize(QSize available) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 protected:
  // The filled part, relative to the control's top-left.
  UiRect FilledRect() const;

  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool horizontal_ = true;
  bool stretchFore_ = true;
  bool showText_ = false;
  ARGB foreColor_ = 0;
  QString foreImage_;
};

class CSliderUI : public CProgressUI {
 public:
  CSliderUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;

  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  UiRect ThumbRect() const;

 private:
  void MoveTo(QPoint pt);
  QSize thumbSize_{10, 10};
  int step_ = 1;
  bool hot_ = false;
  bool pushed_ = false;
  QString thumbImage_, thumbHotImage_, thumbPushedImage_;
};

}  // namespace kv::ui
