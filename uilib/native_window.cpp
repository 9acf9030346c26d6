#include "uilib/native_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>
#include <QWindow>

#include "uilib/paint_manager.h"
#include "uilib/round_corners.h"
#include "uilib/shadow_window.h"
#include "uilib/window.h"

namespace kv::ui {
namespace {

WPARAM VirtualKey(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<WPARAM>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<WPARAM>('0' + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<WPARAM>(0x70 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
  }
}

LPARAM Modifiers(Qt::KeyboardModifiers modifiers, int key) {
  LPARAM bits = 0;
  if (modifiers & Qt::ShiftModifier || key == Qt::Key_Backtab) bits |= MODIFIER_SHIFT;
  if (modifiers & Qt::ControlModifier) bits |= MODIFIER_CONTROL;
  if (modifiers & Qt::AltModifier) bits |= MODIFIER_ALT;
  return bits;
}

Qt::Edges EdgesOf(LRESULT hit) {
  switch (hit) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
  }
}

// How far the pointer travels with the button held before a press on the caption or a border
// becomes a move or a resize.
constexpr int kDragThreshold = 4;

Qt::CursorShape EdgeCursor(LRESULT hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT: return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM: return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

NativeWindow::NativeWindow(CWindowWnd* owner, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), owner_(owner) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setAcceptDrops(true);
}

NativeWindow::~NativeWindow() {
  shadow_.reset();
  if (CWindowWnd* owner = owner_) {
    owner_ = nullptr;
    owner->WidgetDestroyed();
  }
}

LRESULT NativeWindow::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!owner_) return 0;
  return owner_->HandleMessage(msg, wParam, lParam);
}

LRESULT NativeWindow::HitTest(QPoint global) {
  if (!owner_) return HTCLIENT;
  return Send(WM_NCHITTEST, 0, LParamFromPoint(global));
}

bool NativeWindow::focusNextPrevChild(bool) {
  // Tab belongs to the paint manager's focus order.
  return false;
}

void NativeWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  PaintContext context{&painter, UiRect::FromQRect(event->rect())};
  Send(WM_PAINT, 0, reinterpret_cast<LPARAM>(&context));
  if (testAttribute(Qt::WA_TranslucentBackground)) CutRoundCorners(painter, rect(), paintedCorner_);
}

void NativeWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const WPARAM kind = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
  Send(WM_SIZE, kind, MakeLParam(width(), height()));
  UpdateShadow();
}

void NativeWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  UpdateShadow();
}

void NativeWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Send(WM_SHOWWINDOW, 1, 0);
  UpdateShadow();
}

void NativeWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (shadow_) shadow_->hide();
  Send(WM_SHOWWINDOW, 0, 0);
}

void NativeWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    const WPARAM kind = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
    Send(WM_SIZE, kind, MakeLParam(width(), height()));
    UpdateShadow();
  } else if (event->type() == QEvent::ActivationChange) {
    Send(WM_NCACTIVATE, isActiveWindow() ? 1 : 0, 0);
  }
}

void NativeWindow::UpdateShadow() {
  CPaintManagerUI* manager = CPaintManagerUI::ForWindow(this);
  if (!manager || !manager->GetShadow().show || manager->GetShadow().Margins().IsNull() || !ShadowWindow::Supported()) {
    return;
  }
  if (!shadow_) shadow_ = std::make_unique<ShadowWindow>(this);
  shadow_->Follow();
}

void NativeWindow::PressNonClient(LRESULT hit, QMouseEvent* event) {
  Send(WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), LParamFromPoint(event->globalPosition().toPoint()));
  if (!owner_) return;
  // Nothing moves yet: a click that lets go at once must not leave the window moving with the
  // pointer (a window manager asked to move on the press waits for a release it has missed).
  pressedHit_ = hit;
  pressGlobal_ = event->globalPosition().toPoint();
}

void NativeWindow::BeginNonClientDrag(QPoint global) {
  const LRESULT hit = pressedHit_;
  pressedHit_ = HTNOWHERE;
  QWindow* handle = windowHandle();
  const bool system = handle && (hit == HTCAPTION ? handle->startSystemMove() : handle->startSystemResize(EdgesOf(hit)));
  if (system) return;
  // The platform does not move windows for us; follow the pointer ourselves, from the press.
  dragHit_ = hit;
  dragStartGlobal_ = pressGlobal_;
  dragStartGeometry_ = geometry();
  FollowDrag(global);
}

void NativeWindow::FollowDrag(QPoint global) {
  const QPoint delta = global - dragStartGlobal_;
  QRect g = dragStartGeometry_;
  if (dragHit_ == HTCAPTION) {
    move(g.topLeft() + delta);
    return;
  }
  const Qt::Edges edges = EdgesOf(dragHit_);
  if (edges & Qt::LeftEdge) g.setLeft(std::min(g.left() + delta.x(), g.right() - minimumWidth() + 1));
  if (edges & Qt::RightEdge) g.setRight(g.right() + delta.x());
  if (edges & Qt::TopEdge) g.setTop(std::min(g.top() + delta.y(), g.bottom() - minimumHeight() + 1));
  if (edges & Qt::BottomEdge) g.setBottom(g.bottom() + delta.y());
  setGeometry(g);
}

void NativeWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const bool outside = !rect().contains(pos);
  if (event->button() == Qt::LeftButton) {
    if (!outside) {
      const LRESULT hit = HitTest(event->globalPosition().toPoint());
      if (hit != HTCLIENT && hit != HTNOWHERE) {
        PressNonClient(hit, event);
        return;
      }
      setFocus(Qt::MouseFocusReason);
    }
    Send(WM_LBUTTONDOWN, 1, LParamFromPoint(pos));
  } else if (event->button() == Qt::RightButton) {
    if (!outside) setFocus(Qt::MouseFocusReason);
    Send(WM_RBUTTONDOWN, 2, LParamFromPoint(pos));
  }
}

void NativeWindow::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    if (dragHit_ != HTNOWHERE || pressedHit_ != HTNOWHERE) {
      dragHit_ = HTNOWHERE;
      pressedHit_ = HTNOWHERE;
      return;
    }
    Send(WM_LBUTTONUP, 0, LParamFromPoint(pos));
  } else if (event->button() == Qt::RightButton) {
    Send(WM_RBUTTONUP, 0, LParamFromPoint(pos));
  }
}

void NativeWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const bool doubleClicks = owner_ && (owner_->GetClassStyle() & CS_DBLCLKS);
  if (event->button() == Qt::LeftButton) {
    if (rect().contains(pos)) {
      const LRESULT hit = HitTest(event->globalPosition().toPoint());
      if (hit == HTCAPTION) {
        if (owner_ && (owner_->GetStyle() & WS_MAXIMIZEBOX)) {
          Send(WM_SYSCOMMAND, isMaximized() ? SC_RESTORE : SC_MAXIMIZE, 0);
        }
        return;
      }
      if (hit != HTCLIENT && hit != HTNOWHERE) return;
    }
    Send(doubleClicks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, 1, LParamFromPoint(pos));
  } else if (event->button() == Qt::RightButton) {
    Send(doubleClicks ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN, 2, LParamFromPoint(pos));
  }
}

void NativeWindow::mouseMoveEvent(QMouseEvent* event) {
  const QPoint global = event->globalPosition().toPoint();
  if (dragHit_ != HTNOWHERE) {
    FollowDrag(global);
    return;
  }
  if (pressedHit_ != HTNOWHERE) {
    if (!(event->buttons() & Qt::LeftButton)) {
      pressedHit_ = HTNOWHERE;
    } else if ((global - pressGlobal_).manhattanLength() >= kDragThreshold) {
      BeginNonClientDrag(global);
    }
    return;
  }
  const WPARAM buttons = (event->buttons() & Qt::LeftButton ? 1 : 0) | (event->buttons() & Qt::RightButton ? 2 : 0);
  QPointer<NativeWindow> self(this);
  Send(WM_MOUSEMOVE, buttons, LParamFromPoint(event->position().toPoint()));
  if (!self || buttons != 0 || !owner_) return;
  const LRESULT hit = HitTest(global);
  if (EdgesOf(hit)) setCursor(EdgeCursor(hit));
}

void NativeWindow::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  if (delta == 0) return;
  Send(WM_MOUSEWHEEL, static_cast<WPARAM>(MakeLParam(0, delta)), LParamFromPoint(event->position().toPoint()));
}

void NativeWindow::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  Send(WM_MOUSELEAVE, 0, 0);
}

void NativeWindow::contextMenuEvent(QContextMenuEvent* event) {
  const QPoint global = event->reason() == QContextMenuEvent::Mouse ? event->globalPos() : QPoint(-1, -1);
  Send(WM_CONTEXTMENU, 0, LParamFromPoint(global));
}

QString NativeWindow::AcceptedText(const QMimeData* mime) const {
  if (!owner_ || !mime) return {};
  // Pages hand links over as plain text, some also (or only) as a URL list.
  QString text = mime->text();
  if (text.isEmpty() && mime->hasUrls() && !mime->urls().isEmpty()) {
    text = QString::fromUtf8(mime->urls().front().toEncoded());
  }
  return !text.isEmpty() && owner_->AcceptsDroppedText(text) ? text : QString();
}

void NativeWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!AcceptedText(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void NativeWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!AcceptedText(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void NativeWindow::dropEvent(QDropEvent* event) {
  const QString text = AcceptedText(event->mimeData());
  if (text.isEmpty()) return;
  event->acceptProposedAction();
  owner_->OnTextDropped(text);
}

void NativeWindow::keyPressEvent(QKeyEvent* event) {
  if (!owner_) return;
  const WPARAM vk = VirtualKey(event->key());
  const LPARAM modifiers = Modifiers(event->modifiers(), event->key());
  QPointer<NativeWindow> self(this);
  if (vk != 0) {
    LRESULT result = 0;
    CPaintManagerUI* manager = CPaintManagerUI::ForWindow(this);
    if (manager && manager->PreMessageHandler(WM_KEYDOWN, vk, modifiers, result)) return;
    if (!self || !owner_) return;
    Send(WM_KEYDOWN, vk, modifiers);
  }
  if (!self || !owner_) return;
  const QString text = event->text();
  if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    for (const QChar c : text) {
      if (c.isPrint() && self && owner_) Send(WM_CHAR, c.unicode(), modifiers);
    }
  }
}

void NativeWindow::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  Send(WM_SETFOCUS, 0, 0);
}

void NativeWindow::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  Send(WM_KILLFOCUS, 0, 0);
}

void NativeWindow::closeEvent(QCloseEvent* event) {
  if (!owner_) {
    event->accept();
    return;
  }
  // The window decides: the close becomes a system command it may refuse.
  event->ignore();
  Send(WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace kv::ui
