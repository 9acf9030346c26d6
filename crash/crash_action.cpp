#include "crash/crash_action.h"

#include "util/messages.h"

namespace kv {

std::optional<CrashAction> CrashActionFromId(std::string_view id) {
  if (id.empty()) return CrashAction::None;
  if (id == "instance-java-settings") return CrashAction::InstanceJavaSettings;
  if (id == "download-runtime") return CrashAction::DownloadRuntime;
  if (id == "instance-memory-settings") return CrashAction::InstanceMemorySettings;
  if (id == "mod-page") return CrashAction::ModPage;
  if (id == "mods-folder") return CrashAction::ModsFolder;
  return std::nullopt;
}

std::string_view CrashActionLabel(CrashAction action) {
  switch (action) {
    case CrashAction::None: return {};
    case CrashAction::InstanceJavaSettings: return msg::kCrashActionJavaSettings;
    case CrashAction::DownloadRuntime: return msg::kCrashActionDownloadRuntime;
    case CrashAction::InstanceMemorySettings: return msg::kCrashActionMemorySettings;
    case CrashAction::ModPage: return msg::kCrashActionModPage;
    case CrashAction::ModsFolder: return msg::kCrashActionModsFolder;
  }
  return {};
}

}  // namespace kv
