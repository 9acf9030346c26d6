#pragma once

#include <memory>

#include "uilib/control.h"
#include "uilib/markup.h"

// Label: one line of text (or several with multiline), aligned in its rectangle.
// Text: a Label that wraps and whose {a} links raise `link`.
namespace kv::ui {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  ~CLabelUI() override;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  void SetTextColor(ARGB color);
  ARGB GetTextColor() const { return textColor_; }
  void SetDisabledTextColor(ARGB color);
  void SetFont(int id);
  int GetFont() const { return font_; }
  const UiRect& GetTextPadding() const { return textPadding_; }
  void SetTextPadding(const UiRect& padding);
  bool IsShowHtml() const { return showHtml_; }
  void SetShowHtml(bool show);
  bool IsMultiLine() const { return multiLine_; }
  void SetMultiLine(bool multiLine);
  Qt::Alignment GetAlignment() const { return align_; }

  QSize EstimateSize(QSize available) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintText(QPainter& painter) override;

 protected:
  // Whether the text is drawn as markup (links included).
  virtual bool UsesMarkup() const { return showHtml_; }
  ARGB EffectiveTextColor() const;
  // Draws `text` (plain or markup) in `rect` with the label's style.
  void DrawLabelText(QPainter& painter, const QString& text, const UiRect& rect, ARGB color, int hoverLink = -1);
  QString DisplayText() const;

  ARGB textColor_ = 0;
  ARGB disabledTextColor_ = 0;
  int font_ = -1;
  UiRect textPadding_;
  Qt::Alignment align_ = Qt::AlignLeft | Qt::AlignVCenter;
  bool multiLine_ = false;
  bool endEllipsis_ = false;
  bool showHtml_ = false;
  bool autoCalcWidth_ = false;
  std::unique_ptr<MarkupBlock> markup_;
};

class CTextUI : public CLabelUI {
 public:
  CTextUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;
  Qt::CursorShape GetCursor() const override;

  // The target of link `index`: the {a} tag's value, or its text when it has none.
  QString GetLinkContent(int index) const;
  int GetLinkCount() const;

  void DoEvent(TEventUI& event) override;
  void PaintText(QPainter& painter) override;

 protected:
  bool UsesMarkup() const override;

 private:
  int hoverLink_ = -1;
  int pressedLink_ = -1;
};

}  // namespace kv::ui
