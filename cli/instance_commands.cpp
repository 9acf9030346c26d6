#include <cstdio>

#include "cli/cli_commands.h"
#include "platform/launcher_folder.h"
#include "settings/instance_commands.h"
#include "settings/settings.h"

namespace kv::cli {
namespace {

std::string GamePath() {
  CSettings settings;
  settings.Load();
  return settings.gamePath;
}

int Report(const InstanceCommandResult& result) {
  if (result.status != InstanceCommandStatus::Done) {
    return Fail(DescribeInstanceCommandResult(result));
  }
  return 0;
}

}  // namespace

int AddInstanceCommand(const Arguments& args) {
  if (args.size() != 2) return Usage("add NAME VERSION");
  return Report(AddInstance(SettingsFilePath(), GamePath(), args[0], args[1]));
}

int RenameInstanceCommand(const Arguments& args) {
  if (args.size() != 2) return Usage("rename OLD NEW");
  return Report(RenameInstance(SettingsFilePath(), GamePath(), args[0], args[1]));
}

int DeleteInstanceCommand(const Arguments& args) {
  if (args.size() != 1) return Usage("delete NAME");
  InstanceCommandResult result = DeleteInstance(SettingsFilePath(), GamePath(), args[0]);
  if (result.status == InstanceCommandStatus::Done && !result.folderChanged) {
    std::fprintf(stderr, "korvane-cli: 实例已删除，但实例文件夹未能删除\n");
  }
  return Report(result);
}

}  // namespace kv::cli
