#include "tests/uilib/gui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QTest>
#include <QPainter>
#include <QWidget>

#include "uilib/control.h"
#include "uilib/edit.h"
#include "uilib/paint_manager.h"
#include "uilib/shadow_window.h"
#include "uilib/skin_resources.h"

#ifdef KORVANE_HAS_SKIN
#include "skin/embedded_skin.h"
#include "uilib/ui_cast.h"
#endif

namespace kv::test {

using namespace ui;

namespace {
bool skinLoaded = false;
}

void LoadLauncherSkin() {
#ifdef KORVANE_HAS_SKIN
  skinLoaded = SkinResources::Instance().AddZip(EmbeddedSkinZip());
#endif
}

bool HasLauncherSkin() { return skinLoaded; }

bool TestWindow::Open(HWND parent) {
  if (!Create(parent, QStringLiteral("test"), WS_VISIBLE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_WINDOWEDGE)) return false;
  QWidget* widget = GetHWND();
  widget->activateWindow();
  PumpUntil([widget] { return widget->isVisible(); });
  Pump(20);
  paintManager_.UpdateLayout();
  return true;
}

void TestWindow::Notify(TNotifyUI& msg) {
  notifications_.push_back({msg.sType, msg.pSender ? msg.pSender->GetName() : QString(), msg.wParam, msg.lParam,
                            msg.pSender});
  WindowImplBase::Notify(msg);
}

std::vector<RecordedNotify> TestWindow::Notifications(const QString& type) const {
  std::vector<RecordedNotify> result;
  for (const RecordedNotify& n : notifications_) {
    if (n.type == type) result.push_back(n);
  }
  return result;
}

LRESULT TestWindow::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  if (msg >= WM_USER) {
    if (onMessage) onMessage(msg, wParam, lParam);
    messages_.push_back({msg, wParam, lParam});
  }
  return 0;
}

void Pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  } while (timer.elapsed() < ms);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // Outside a running event loop deleteLater waits for an explicit pass.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

QPoint CenterOf(CControlUI* control) {
  const UiRect& rc = control->GetPos();
  return {rc.left + rc.Width() / 2, rc.top + rc.Height() / 2};
}

void ClickAt(HWND window, QPoint client, Qt::MouseButton button) {
  QTest::mouseMove(window, client);
  QTest::mousePress(window, button, Qt::NoModifier, client);
  if (button == Qt::RightButton) {
    // The platform follows a right press with a context menu request; QTest does not.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, client, window->mapToGlobal(client));
    QApplication::sendEvent(window, &menu);
  }
  QTest::mouseRelease(window, button, Qt::NoModifier, client);
  Pump();
}

void Click(CWindowWnd& window, CControlUI* control, Qt::MouseButton button) {
  ASSERT_NE(control, nullptr);
  ClickAt(window.GetHWND(), CenterOf(control), button);
}

void DoubleClick(CWindowWnd& window, CControlUI* control) {
  ASSERT_NE(control, nullptr);
  const QPoint pt = CenterOf(control);
  QTest::mouseClick(window.GetHWND(), Qt::LeftButton, Qt::NoModifier, pt);
  QTest::mouseDClick(window.GetHWND(), Qt::LeftButton, Qt::NoModifier, pt);
  Pump();
}

void KeyClick(HWND window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(window, key, modifiers);
  Pump();
}

void TypeInto(CWindowWnd& window, CControlUI* field, const QString& text) {
  ASSERT_NE(field, nullptr);
  auto* edit = ui_cast<CEditUI>(field);
  ASSERT_NE(edit, nullptr);
  edit->SetText(QString());
  // A click on an open editor would land in the editor itself, not on the window.
  if (!edit->GetNativeEdit()) Click(window, edit);
  ASSERT_NE(edit->GetNativeEdit(), nullptr);
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClicks(edit->GetNativeEdit(), QString(c));
    } else {
      QInputMethodEvent composed;
      composed.setCommitString(QString(c));
      QCoreApplication::sendEvent(edit->GetNativeEdit(), &composed);
    }
  }
  Pump();
}

QImage SaveScreenshot(HWND window, const QString& name) { return SaveScreenshot(window, {}, name); }

QImage SaveScreenshot(HWND window, const std::vector<HWND>& above, const QString& name) {
  QDir dir(QStringLiteral(KORVANE_SCREENSHOT_DIR));
  dir.mkpath(QStringLiteral("."));
  QImage image = CaptureWindow(window);
  if (!above.empty()) {
    // The base image holds the window's shadow around it; the window itself starts where the
    // shadow's left and top margins end.
    CPaintManagerUI* manager = CPaintManagerUI::ForWindow(window);
    const UiRect margins = manager ? manager->GetShadow().Margins() : UiRect{};
    const QPoint origin = window->mapToGlobal(QPoint(0, 0)) - QPoint(margins.left, margins.top);
    QPainter painter(&image);
    for (HWND other : above) {
      if (!other || !other->isVisible()) continue;
      CPaintManagerUI* otherManager = CPaintManagerUI::ForWindow(other);
      const UiRect otherMargins = otherManager ? otherManager->GetShadow().Margins() : UiRect{};
      const QPoint at = other->mapToGlobal(QPoint(0, 0)) - QPoint(otherMargins.left, otherMargins.top) - origin;
      painter.drawImage(at, CaptureWindow(other));
    }
  }
  image.save(dir.filePath(name + QStringLiteral(".png")));
  return image;
}

QByteArray SolidPng(int width, int height, QRgb color) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

}  // namespace kv::test
