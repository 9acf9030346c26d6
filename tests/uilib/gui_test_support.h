#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

#include "uilib/control.h"
#include "uilib/ui_cast.h"
#include "uilib/window_impl_base.h"

// Helpers for driving skinned windows in tests: windows built from layout text, clicks and
// keys through Qt's real input path, waiting for the event loop, and screenshots.
namespace kv::test {

// Adds the launcher's skin archive (when the build has one) to the skin resources.
void LoadLauncherSkin();
bool HasLauncherSkin();

struct RecordedNotify {
  QString type;
  QString sender;
  ui::WPARAM wParam;
  ui::LPARAM lParam;
  ui::CControlUI* senderControl;
};

struct RecordedMessage {
  ui::UINT msg;
  ui::WPARAM wParam;
  ui::LPARAM lParam;
};

// A window built from layout text (or a skin file name) that records what it is told.
class TestWindow : public ui::WindowImplBase {
 public:
  explicit TestWindow(QString layout) : layout_(std::move(layout)) {}

  // Creates and shows the window and lets it lay out and paint.
  bool Open(ui::HWND parent = nullptr);
  ui::CControlUI* Find(const QString& name) { return paintManager_.FindControl(name); }
  template <typename T>
  T* FindAs(const QString& name) {
    return ui::ui_cast<T>(Find(name));
  }
  std::vector<RecordedNotify> Notifications(const QString& type) const;
  const std::vector<RecordedMessage>& Messages() const { return messages_; }
  void ClearRecords() {
    notifications_.clear();
    messages_.clear();
  }
  // Called for every custom message (WM_USER and above) before it is recorded.
  std::function<void(ui::UINT, ui::WPARAM, ui::LPARAM)> onMessage;

  void Notify(ui::TNotifyUI& msg) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvTestWindow"); }
  QString GetLayoutFile() const override { return layout_; }
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;

 private:
  QString layout_;
  std::vector<RecordedNotify> notifications_;
  std::vector<RecordedMessage> messages_;
};

// Runs the event loop for `ms` milliseconds (at least one pass).
void Pump(int ms = 0);
// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);

QPoint CenterOf(ui::CControlUI* control);
// Clicks a control through the window's real mouse path.
void Click(ui::CWindowWnd& window, ui::CControlUI* control, Qt::MouseButton button = Qt::LeftButton);
void DoubleClick(ui::CWindowWnd& window, ui::CControlUI* control);
void ClickAt(ui::HWND window, QPoint client, Qt::MouseButton button = Qt::LeftButton);
void KeyClick(ui::HWND window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types into a text field as a player does, over what it held: the field is clicked open unless
// its editor is open already, then key by key, Chinese through the input method.
void TypeInto(ui::CWindowWnd& window, ui::CControlUI* field, const QString& text);

// Writes the window as the screen shows it to <build>/screenshots/<name>.png; returns the image.
QImage SaveScreenshot(ui::HWND window, const QString& name);
// The same with other windows drawn over it where they stand (a dialog, a busy indicator).
QImage SaveScreenshot(ui::HWND window, const std::vector<ui::HWND>& above, const QString& name);

// A small PNG of one colour, for tests that need an image in the skin.
QByteArray SolidPng(int width, int height, QRgb color);

}  // namespace kv::test
