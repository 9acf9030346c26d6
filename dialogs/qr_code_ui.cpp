#include "dialogs/qr_code_ui.h"

#include <qrencode.h>

#include <QPainter>
#include <algorithm>
#include <memory>

namespace kv {

namespace {

// The light margin a reader needs around the code, in modules.
constexpr int kQuietZone = 4;

}  // namespace

void CQrCodeUI::SetText(const QString& text) {
  CControlUI::SetText(text);
  size_ = 0;
  modules_.clear();
  if (text.isEmpty()) return;
  const QByteArray bytes = text.toUtf8();
  // Level M: an address from a phone's camera survives some glare.
  const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
      QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
  if (!code) return;
  size_ = code->width;
  modules_.resize(static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_));
  // The lowest bit of each byte says whether the module is dark.
  for (std::size_t i = 0; i < modules_.size(); ++i) modules_[i] = (code->data[i] & 1) != 0;
  Invalidate();
}

void CQrCodeUI::PaintText(QPainter& painter) {
  if (size_ == 0) return;
  const int side = std::min(rcItem_.Width(), rcItem_.Height());
  const int module = side / (size_ + 2 * kQuietZone);
  if (module < 1) return;
  const int drawn = module * (size_ + 2 * kQuietZone);
  const int left = rcItem_.left + (rcItem_.Width() - drawn) / 2;
  const int top = rcItem_.top + (rcItem_.Height() - drawn) / 2;
  painter.fillRect(left, top, drawn, drawn, Qt::white);
  const int origin = kQuietZone * module;
  for (int y = 0; y < size_; ++y) {
    for (int x = 0; x < size_; ++x) {
      if (Dark(x, y)) painter.fillRect(left + origin + x * module, top + origin + y * module, module, module, Qt::black);
    }
  }
}

}  // namespace kv
