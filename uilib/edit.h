#pragma once

#include <QPointer>
#include <memory>

#include "uilib/label.h"

#include <QLineEdit>

// A single-line text box. While it has the focus a native line edit sits over it (input
// methods, selection, clipboard); otherwise the control paints its text, masked for passwords,
// or its hint text when empty. Raises `textchanged` on every change and `return` on Enter.
namespace kv::ui {

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  ~CEditUI() override;
  QString GetClass() const override;
  void* GetInterface(const QString& name) override;
  UINT GetControlFlags() const override;
  Qt::CursorShape GetCursor() const override;

  void SetText(const QString& text) override;
  int GetMaxChar() const { return maxChar_; }
  void SetMaxChar(int maxChar);
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool password);
  bool IsNumberOnly() const { return numberOnly_; }
  void SetNumberOnly(bool numberOnly);
  const QString& GetTipValue() const { return tip_; }
  void SetTipValue(const QString& tip);
  // The native editor while the control has the focus; null otherwise.
  QLineEdit* GetNativeEdit() const { return native_; }

  QSize EstimateSize(QSize available) override;
  void SetPos(UiRect rc, bool needInvalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 private:
  void OpenNativeEdit();
  void CloseNativeEdit();
  UiRect NativeRect() const;
  // The editor's length limit: maxchar (0: none of its own), raised to the text it holds, so
  // that text the program put there is never cut; only typing is held back.
  void ApplyLengthLimit();

  QPointer<QLineEdit> native_;
  // Cleared when the control goes, so that late signals of a closing editor do nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int maxChar_ = 255;
  bool readOnly_ = false;
  bool password_ = false;
  bool numberOnly_ = false;
  bool autoSelectAll_ = false;
  bool hot_ = false;
  QString tip_;
  ARGB tipColor_ = 0xFFBAC0C5;
  ARGB nativeBkColor_ = 0xFFFFFFFF;
  ARGB nativeTextColor_ = 0;
  QString normalImage_, hotImage_, focusedImage_, disabledImage_;
};

}  // namespace kv::ui
