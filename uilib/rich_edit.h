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
  // Adds text at the end; the view follows it when automatic vertical scrolling is on.
  void AppendText(const QString& text, bool replaceSelection = false);
  int GetTextLength() const;
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
