#pragma once

#include <QMimeData>
#include <QWidget>
#include <memory>

#include "uilib/ui_types.h"

// The Qt widget behind a CWindowWnd: it turns Qt's events into window messages for its owner
// and carries out what the non-client hit test asks for (dragging by the caption, resizing by
// the borders, maximising on a caption double click).
namespace kv::ui {

class CWindowWnd;
class ShadowWindow;

class NativeWindow : public QWidget {
 public:
  NativeWindow(CWindowWnd* owner, QWidget* parent, Qt::WindowFlags flags);
  ~NativeWindow() override;

  CWindowWnd* Owner() const { return owner_; }
  void Detach() { owner_ = nullptr; }
  ShadowWindow* Shadow() const { return shadow_.get(); }
  // The corner ellipses that painting cuts out of a see-through window (empty: none).
  void SetPaintedCorner(QSize corner) { paintedCorner_ = corner; }

 protected:
  bool focusNextPrevChild(bool next) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HitTest(QPoint global);
  // A press on the caption or a border; the move or resize begins once the pointer has
  // travelled a few pixels with the button held.
  void PressNonClient(LRESULT hit, QMouseEvent* event);
  void BeginNonClientDrag(QPoint global);
  void FollowDrag(QPoint global);
  void UpdateShadow();
  // The text a drag carries when the owner takes it; empty otherwise.
  QString AcceptedText(const QMimeData* mime) const;

  CWindowWnd* owner_;
  std::unique_ptr<ShadowWindow> shadow_;
  QSize paintedCorner_;
  LRESULT pressedHit_ = HTNOWHERE;  // pressed, not yet dragged
  QPoint pressGlobal_;
  LRESULT dragHit_ = HTNOWHERE;     // dragging without the platform's help
  QPoint dragStartGlobal_;
  QRect dragStartGeometry_;
};

}  // namespace kv::ui
