#pragma once

#include <string>

#include "dialogs/dialog_window.h"

namespace kv::ui {
class CRichEditUI;
}

// The log window: the console output of the running game in a read-only text area that
// follows the end while the player does not scroll back. The launcher window creates it once,
// hidden, and shows it beside itself for the length of a game when the player wants to see the
// output. Closing it only hides it; its text stays until the next game starts. Its text can be
// copied and saved. A game that writes without end keeps its first lines and its latest ones in
// the window; a line where the others were says how many were left out and where they are.
namespace kv {

class FilePickers;

class CLogWnd : public CDialogWindow {
 public:
  // Lines kept from the start of a game's output (where the versions and mods are named) and
  // from its end (where a crash is told) once it grows too long for the window.
  static constexpr int kFirstLines = 2000;
  static constexpr int kLatestLines = 50000;

  // `pickers` asks where the text is saved; without them the window cannot save it.
  explicit CLogWnd(FilePickers* pickers = nullptr) : pickers_(pickers) {}

  // Creates the window, hidden, at the right edge of the screen.
  bool CreateHidden();
  // Shows the window beside `launcher` (moving it to where neither covers the other); a
  // window already shown stays where the player left it.
  void ShowBeside(ui::HWND launcher);

  // Posts `text` (UTF-8) to the window from any thread; it is appended in the order posted.
  // Text posted while the window does not exist, or still queued when it goes, is dropped.
  static void PostAppend(CLogWnd& window, std::string text);

  QString Text() const;
  // The note under the text: lines left out, or where the text was saved.
  QString Note() const;
  // The text to the clipboard, and to a file the player picks.
  void CopyText();
  void SaveText();

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
  // Takes the lines beyond the first and the latest out, in batches.
  void LeaveOutTheMiddle();
  void Clear();
  void ShowNote(const QString& text);

  FilePickers* pickers_;
  ui::CRichEditUI* log_ = nullptr;
  ui::CControlUI* note_ = nullptr;
  long long leftOut_ = 0;  // lines of this game's output no longer in the window
};

}  // namespace kv
