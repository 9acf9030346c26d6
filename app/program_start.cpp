#include "app/program_start.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/frame_wnd.h"

namespace kv {

bool LoadQtTranslations(QCoreApplication& application) {
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  // Dates and sizes in Qt's dialogs follow the language of their texts.
  QLocale::setDefault(chinese);
  auto* translator = new QTranslator(&application);
  if (!translator->load(chinese, QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

bool CreateLauncherWindow(CFrameWnd& frame) {
  constexpr ui::UINT kFrameStyle = 0x10CF0000;  // visible, overlapped window
  return frame.Create(nullptr, QStringLiteral("Korvane"), kFrameStyle, ui::WS_EX_WINDOWEDGE) != nullptr;
}

}  // namespace kv
