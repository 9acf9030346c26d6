#pragma once

#include <string>

#include "dialogs/dialog_window.h"

namespace kv::ui {
class CRichEditUI;
}

// The log window: the console output of the running game in a read-only text area that
// follows the end. The launcher window creates it once, hidden, and shows it for the length of
// a game when the player wants to see the output. Closing it only hides it; its text stays
// until the next game starts.
namespace kv {

class CLogWnd : public CDialogWindow {
 public:
  // Creates the window, hidden, at the right edge of the screen.
  bool CreateHidden();

  // Posts `text` (UTF-8) to the window from any thread; it is appended in the order posted.
  // Text posted while the window does not exist, or still queued when it goes, is dropped.
  static void PostAppend(CLogWnd& window, std::string text);

  QString Text() const;
  void Notify(ui::TNotifyUI& msg) override;
  ui::LRESULT HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvLogWnd"); }
  ui::UINT GetClassStyle() const override { return ui::CS_DBLCLKS; }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\Log_dlg.xml"); }
  void InitControls() override;
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;

 private:
  void Append(const std::string& text);

  ui::CRichEditUI* log_ = nullptr;
};

}  // namespace kv
