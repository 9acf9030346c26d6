#pragma once

#include <vector>

#include "uilib/control.h"

// A control that shows its text as a QR code, dark modules on white with a quiet zone, scaled
// to whole pixels per module and centred; nothing when the text is empty or cannot be encoded.
namespace kv {

class CQrCodeUI : public ui::CControlUI {
 public:
  QString GetClass() const override { return QStringLiteral("QrCodeUI"); }
  void SetText(const QString& text) override;
  void PaintText(QPainter& painter) override;

  // The modules, row by row (true: dark); `Size()` a side.
  int Size() const { return size_; }
  bool Dark(int x, int y) const { return modules_[static_cast<std::size_t>(y * size_ + x)]; }

 private:
  int size_ = 0;
  std::vector<bool> modules_;
};

}  // namespace kv
