#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "uilib/paint_manager.h"

// The drop shadow of a skinned window: the shadow image drawn as a 9-slice (centre left
// empty) on a click-through window that follows its owner, reaching out by the shadow's
// margins on every side.
namespace kv::ui {

// Draws the shadow for a window occupying `window` (in the painter's coordinates).
void DrawShadow(QPainter& painter, const ShadowInfo& shadow, const QRect& window);

class ShadowWindow : public QWidget {
 public:
  explicit ShadowWindow(QWidget* owner);
  // Follows the owner's geometry and visibility.
  void Follow();
  // Whether separate shadow windows can be placed on this platform.
  static bool Supported();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPointer<QWidget> owner_;
};

// The window as the screen shows it: the shadow around it, the rounded corners cut away and
// the window's opacity applied. Used for screenshots.
QImage CaptureWindow(QWidget* window);

}  // namespace kv::ui
