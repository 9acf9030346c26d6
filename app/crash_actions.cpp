#include "app/crash_actions.h"

#include <QUrl>

#include "app/frame_wnd.h"
#include "app/settings_ui.h"
#include "mods/package_tool.h"
#include "platform/diagnostic_log.h"
#include "util/files.h"

namespace kv {

CrashAction OfferedCrashAction(CrashAction action, const std::string& versionId) {
  if (action == CrashAction::ModPage && !GameVersionOf(versionId)) return CrashAction::ModsFolder;
  return action;
}

void RunCrashAction(CFrameWnd& frame, CrashAction action, const std::string& instanceName, const std::string& gameFolder) {
  switch (action) {
    case CrashAction::None:
      return;
    case CrashAction::InstanceJavaSettings:
    case CrashAction::InstanceMemorySettings:
      OpenInstanceSettings(frame, instanceName);
      return;
    case CrashAction::DownloadRuntime:
      OpenSettings(frame);
      return;
    case CrashAction::ModPage:
      frame.ShowModPage();
      return;
    case CrashAction::ModsFolder: {
      // A game that crashed over its mods may not have made the folder yet; the player is about
      // to put files into it.
      const std::string mods = gameFolder + "mods/";
      MakeFoldersForPath(mods);
      const FrameServices& services = frame.Services();
      const std::string address = QUrl::fromLocalFile(QString::fromStdString(mods)).toString().toStdString();
      if (!services.openUrl || !services.openUrl(address)) LogLine(LogLevel::Error, "Could not open " + mods);
      return;
    }
  }
}

}  // namespace kv
