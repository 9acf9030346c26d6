#pragma once

#include <QPointer>
#include <memory>

#include "uilib/control.h"

#include <QPlainTextEdit>

// A multi-line text area: a native text editor placed over the control for as long as the
// control is shown. Read-only logs append with AppendText and follow the end when autovscroll
// is set. Raises `textchanged` on user edits and, with wantreturn="false", `return` on Enter.
namespace kv::ui {

class CRichEditUI : public CControlUI {
 public:
  CRichEditUI();
  ~CRichEditUI() override;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;

  QString GetText() const override;
  void SetText(const QString& text) override;
  // Adds text at the end. With automatic vertical scrolling the view follows it while it shows
  // the end; a view scrolled back (to read the start) stays where it is.
  void AppendText(const QString& text, bool replaceSelection = false);
  int GetTextLength() const;
  // Lines are separated by line breaks: a text ending in one has an empty last line.
  int GetLineCount() const;
  // Puts `line` (without a line break) in place of `count` lines (at least one) from line
  // `first`, counting from 0. Lines beyond the last are left out.
  void ReplaceLines(int first, int count, const QString& line);
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool IsWantTab() const { return wantTab_; }
  bool IsWantReturn() const { return wantReturn_; }
  int GetLimitText() const { return limit_; }
  void SetLimitText(int limit);
  QPlainTextEdit* GetNativeEdit() const { return native_; }

  void DoInit() override;
  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;

 private:
  void ApplyStyle();
  void UpdateNative();
  bool AtEnd() const;
  // Runs a change of the text made by the program, keeping the view at the end when it was.
  template <typename Change>
  void ChangeText(Change change);

  QPointer<QPlainTextEdit> native_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  QString pendingText_;  // text set before the native editor exists
  bool programmatic_ = false;
  bool multiLine_ = true;
  bool readOnly_ = false;
  bool wantTab_ = true;
  bool wantReturn_ = true;
  bool wantCtrlReturn_ = true;
  bool vscroll_ = false;
  bool hscroll_ = false;
  bool autoVScroll_ = false;
  int limit_ = 32767;
  int font_ = -1;
  ARGB textColor_ = 0;
  UiRect textPadding_;
  Qt::Alignment align_ = Qt::AlignLeft;
  QString tip_;
};

}  // namespace kv::ui
