#pragma once

#include "uilib/layouts.h"
#include "uilib/markup.h"

// Lists: a header of columns over a scrolling body of rows. Rows are list elements: a label
// (ListLabelElement), columns of text (ListTextElement, optionally from a text callback) or
// any controls (ListContainerElement). One row is selected at a time.
namespace kv::ui {

class CListUI;
class CListHeaderUI;
class CListBodyUI;

inline constexpr int kMaxListColumns = 64;

// How rows draw themselves, shared by every row of one list or combo.
struct TListInfoUI {
  int columns = 0;
  UiRect columnRects[kMaxListColumns];
  int font = -1;
  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
  bool endEllipsis = false;
  bool multiLine = false;
  UiRect textPadding;
  int itemHeight = 0;
  ARGB textColor = 0xFF000000;
  ARGB bkColor = 0;
  QString bkImage;
  bool alternateBk = false;
  ARGB selectedTextColor = 0xFF000000;
  ARGB selectedBkColor = 0xFFC1E3FF;
  QString selectedImage;
  ARGB hotTextColor = 0xFF000000;
  ARGB hotBkColor = 0xFFE9F5FF;
  QString hotImage;
  ARGB disabledTextColor = 0xFFCCCCCC;
  ARGB disabledBkColor = 0;
  QString disabledImage;
  int hLineSize = 0;
  int vLineSize = 0;
  ARGB hLineColor = 0xFF3C3C3C;
  ARGB vLineColor = 0xFF3C3C3C;
  bool showHtml = false;
  // Applies an item* attribute; false when `name` is not one.
  bool SetAttribute(const QString& name, const QString& value);
};

// Supplies the text of column `subItem` of row `index` when a list has one.
class IListCallbackUI {
 public:
  virtual ~IListCallbackUI() = default;
  virtual QString GetItemText(CControlUI* control, int index, int subItem) = 0;
};

// What rows need from the list or combo they belong to.
class IListOwnerUI {
 public:
  virtual ~IListOwnerUI() = default;
  virtual TListInfoUI* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectItem(int index, bool takeFocus = false) = 0;
  virtual CControlUI* OwnerControl() = 0;
  virtual IListCallbackUI* GetTextCallback() const { return nullptr; }
};

class IListItemUI {
 public:
  virtual ~IListItemUI() = default;
  virtual int GetIndex() const = 0;
  virtual void SetIndex(int index) = 0;
  virtual IListOwnerUI* GetOwner() const = 0;
  virtual void SetOwner(IListOwnerUI* owner) = 0;
  virtual bool IsSelected() const = 0;
  virtual bool Select(bool select = true) = 0;
  virtual void DrawItemText(QPainter& painter, const UiRect& rc) = 0;
};

// Row behaviour that every kind of row shares.
class CListRowState {
 public:
  int index = -1;
  IListOwnerUI* owner = nullptr;
  bool selected = false;
  bool hot = false;
  // Handles the row events (selection on mouse down, activation, hover, keys, menus handed to
  // the list); false for events the row should treat as its own.
  bool HandleEvent(CControlUI& row, TEventUI& event);
  void DrawBackground(QPainter& painter, CControlUI& row, const UiRect& rc) const;
  ARGB TextColor(const CControlUI& row) const;
  QSize EstimateSize(CControlUI& row, QSize fixed) const;
};

class CListElementUI : public CControlUI, public IListItemUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;

  int GetIndex() const override { return row_.index; }
  void SetIndex(int index) override { row_.index = index; }
  IListOwnerUI* GetOwner() const override { return row_.owner; }
  void SetOwner(IListOwnerUI* owner) override { row_.owner = owner; }
  bool IsSelected() const override { return row_.selected; }
  bool Select(bool select = true) override;
  bool IsHot() const { return row_.hot; }

  void SetVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  QSize EstimateSize(QSize available) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 protected:
  CListRowState row_;
};

class CListLabelElementUI : public CListElementUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  void DrawItemText(QPainter& painter, const UiRect& rc) override;
};

class CListTextElementUI : public CListLabelElementUI {
 public:
  CListTextElementUI();
  ~CListTextElementUI() override;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  Qt::CursorShape GetCursor() const override;

  // Column texts; column 0 is also the control's text.
  QString GetText(int column) const;
  void SetText(int column, const QString& text);
  using CListLabelElementUI::GetText;
  using CListLabelElementUI::SetText;
  int GetLinkCount() const;
  QString GetLinkContent(int index) const;

  void DoEvent(TEventUI& event) override;
  void DrawItemText(QPainter& painter, const UiRect& rc) override;

 private:
  QString ColumnText(int column);
  std::vector<QString> texts_;
  std::vector<std::unique_ptr<MarkupBlock>> blocks_;
  int hoverLink_ = -1;
  int pressedLink_ = -1;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;

  int GetIndex() const override { return row_.index; }
  void SetIndex(int index) override { row_.index = index; }
  IListOwnerUI* GetOwner() const override { return row_.owner; }
  void SetOwner(IListOwnerUI* owner) override { row_.owner = owner; }
  bool IsSelected() const override { return row_.selected; }
  bool Select(bool select = true) override;
  bool IsHot() const { return row_.hot; }

  void SetVisible(bool visible = true) override;
  QSize EstimateSize(QSize available) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintText(QPainter& painter) override;
  void DrawItemText(QPainter& painter, const UiRect& rc) override;

 protected:
  CListRowState row_;
};

class CListHeaderItemUI : public CControlUI {
 public:
  CListHeaderItemUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;
  Qt::CursorShape GetCursor() const override;

  // Items fill the header's height; the header takes its height from the items' fonts.
  QSize EstimateSize(QSize available) override;
  int GetFont() const { return font_; }
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 private:
  UiRect SeparatorRect() const;
  bool dragable_ = true;
  int sepWidth_ = 4;
  QString sepImage_;
  bool hot_ = false;
  bool pushed_ = false;
  bool dragging_ = false;
  QPoint lastPoint_;
  int font_ = -1;
  ARGB textColor_ = 0;
  UiRect textPadding_{2, 0, 2, 0};
  Qt::Alignment align_ = Qt::AlignHCenter | Qt::AlignVCenter;
  bool showHtml_ = false;
  QString normalImage_, hotImage_, pushedImage_, focusedImage_;
};

class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  QSize EstimateSize(QSize available) override;
};

class CListBodyUI : public CVerticalLayoutUI {
 public:
  explicit CListBodyUI(CListUI* owner) : owner_(owner) {}
  void DoEvent(TEventUI& event) override;

 private:
  CListUI* owner_;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
 public:
  CListUI();
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;

  CListHeaderUI* GetHeader() const { return header_; }
  CListBodyUI* GetList() const { return body_; }

  // Rows. Header items given to Add go to the header.
  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(CControlUI* control) const;
  bool SetItemIndex(CControlUI* control, int index);
  int GetCount() const;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;

  TListInfoUI* GetListInfo() override { return &info_; }
  int GetCurSel() const override { return curSel_; }
  // Selects row `index` (-1 clears), scrolls it into view and raises `itemselect` (new, old)
  // from the list; nothing when the row is already selected.
  bool SelectItem(int index, bool takeFocus = false) override;
  CControlUI* OwnerControl() override { return this; }
  IListCallbackUI* GetTextCallback() const override { return callback_; }
  void SetTextCallback(IListCallbackUI* callback);
  void EnsureVisible(int index);

  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;

 protected:
  void Reindex(int from);
  CListHeaderUI* header_;
  CListBodyUI* body_;
  TListInfoUI info_;
  IListCallbackUI* callback_ = nullptr;
  int curSel_ = -1;
};

}  // namespace kv::ui
