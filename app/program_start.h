#pragma once

class QCoreApplication;

// What the program does at its start besides the launcher window's own work: Qt's texts in the
// launcher's language, and the window created as the desktop shows it.
namespace kv {

class CFrameWnd;

// Qt's own texts (the file pickers, the menus of the text fields, its buttons) in Chinese, as
// every text of the launcher is. False when Qt's translations are not installed; Qt then
// speaks English.
bool LoadQtTranslations(QCoreApplication& application);

// Creates the launcher window: visible, titled "Korvane" in the desktop's task bar and window
// list.
bool CreateLauncherWindow(CFrameWnd& frame);

}  // namespace kv
