#include "uilib/shadow_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "uilib/attribute_values.h"
#include "uilib/image_string.h"
#include "uilib/round_corners.h"
#include "uilib/skin_resources.h"

namespace kv::ui {

namespace {

// A shadow without a picture: rings of the shadow colour fading out over the shadow's size,
// the darkness giving the opacity next to the window and the sharpness how fast it fades.
void DrawPlainShadow(QPainter& painter, const ShadowInfo& shadow, const QRect& window) {
  const int size = std::max(0, shadow.size);
  if (size == 0) return;
  const QRect base = window.translated(shadow.offset);
  QColor color = shadow.color != 0 ? ToQColor(shadow.color | 0xFF000000u) : QColor(Qt::black);
  painter.save();
  QRegion clip(base.adjusted(-size, -size, size, size));
  clip -= QRegion(window);
  painter.setClipRegion(clip, Qt::IntersectClip);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setBrush(Qt::NoBrush);
  const double falloff = 1.0 + shadow.sharpness / 5.0;
  for (int ring = 0; ring < size; ++ring) {
    const double t = 1.0 - static_cast<double>(ring) / size;
    color.setAlphaF(std::clamp(shadow.darkness / 255.0 * std::pow(t, falloff) / size * 2.0, 0.0, 1.0));
    painter.setPen(QPen(color, 1));
    painter.drawRoundedRect(QRectF(base).adjusted(-ring - 0.5, -ring - 0.5, ring + 0.5, ring + 0.5), ring + 2, ring + 2);
  }
  painter.restore();
}

}  // namespace

void DrawShadow(QPainter& painter, const ShadowInfo& shadow, const QRect& window) {
  if (!shadow.show) return;
  if (shadow.image.isEmpty()) {
    DrawPlainShadow(painter, shadow, window);
    return;
  }
  const UiRect m = shadow.Margins();
  const UiRect area{window.left() - m.left, window.top() - m.top, window.left() + window.width() + m.right,
                    window.top() + window.height() + m.bottom};
  ImageSpec imageSpec = ParseImageSpec(shadow.image);
  if (imageSpec.corner.IsNull()) imageSpec.corner = shadow.corner;
  imageSpec.hole = true;
  imageSpec.dest = {};
  painter.save();
  // Nothing of the shadow falls on the window itself.
  QRegion clip(area.ToQRect());
  clip -= QRegion(window);
  painter.setClipRegion(clip, Qt::IntersectClip);
  DrawImageSpec(painter, imageSpec, area, area);
  painter.restore();
}

ShadowWindow::ShadowWindow(QWidget* owner)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      owner_(owner) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

namespace {

// Whether a compositing manager runs on the X screen (it owns the _NET_WM_CM_S<n> selection).
// Without one, the transparent parts of a shadow window show black.
bool X11Composited() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return false;
  const char* name = "_NET_WM_CM_S0";
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  if (!atom) return false;
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
  const bool composited = owner && owner->owner != XCB_NONE;
  std::free(owner);
  std::free(atom);
  return composited;
}

}  // namespace

bool ShadowWindow::Supported() {
  static const bool supported = QGuiApplication::platformName() == QStringLiteral("xcb") && X11Composited();
  return supported;
}

void ShadowWindow::Follow() {
  CPaintManagerUI* manager = owner_ ? CPaintManagerUI::ForWindow(owner_) : nullptr;
  if (!owner_ || !manager || !owner_->isVisible() || owner_->isMinimized() || owner_->isMaximized()) {
    hide();
    return;
  }
  const UiRect m = manager->GetShadow().Margins();
  const QRect frame = owner_->geometry();
  setGeometry(frame.adjusted(-m.left, -m.top, m.right, m.bottom));
  if (!isVisible()) {
    show();
    owner_->raise();
  }
  update();
}

void ShadowWindow::paintEvent(QPaintEvent*) {
  CPaintManagerUI* manager = owner_ ? CPaintManagerUI::ForWindow(owner_) : nullptr;
  if (!manager) return;
  QPainter painter(this);
  const UiRect m = manager->GetShadow().Margins();
  DrawShadow(painter, manager->GetShadow(), QRect(m.left, m.top, owner_->width(), owner_->height()));
}

QImage CaptureWindow(QWidget* window) {
  if (!window) return {};
  QImage content = window->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRegion mask = window->mask();
  CPaintManagerUI* manager = CPaintManagerUI::ForWindow(window);
  if (manager && !window->isMaximized() && !manager->GetRoundCorner().isEmpty()) {
    // As a screen with a compositor shows it.
    QPainter p(&content);
    CutRoundCorners(p, content.rect(), manager->GetRoundCorner());
  } else if (!mask.isEmpty()) {
    QImage cut(content.size(), QImage::Format_ARGB32_Premultiplied);
    cut.fill(Qt::transparent);
    QPainter p(&cut);
    p.setClipRegion(mask);
    p.drawImage(0, 0, content);
    p.end();
    content = cut;
  }
  const ShadowInfo shadow = manager ? manager->GetShadow() : ShadowInfo{};
  const UiRect m = shadow.Margins();
  QImage canvas(content.width() + m.left + m.right, content.height() + m.top + m.bottom,
                QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  const QRect place(m.left, m.top, content.width(), content.height());
  DrawShadow(painter, shadow, place);
  painter.setOpacity(window->windowOpacity());
  painter.drawImage(place.topLeft(), content);
  painter.end();
  return canvas;
}

}  // namespace kv::ui
