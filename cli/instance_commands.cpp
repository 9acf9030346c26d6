#include <cstdio>

#include "cli/cli_commands.h"
#include "platform/launcher_folder.h"
#include "settings/instance_commands.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

int Report(const InstanceCommandResult& result) {
  if (result.status != InstanceCommandStatus::Done) {
    return Fail(DescribeInstanceCommandResult(result));
  }
  return 0;
}

}  // namespace

static int AddInstanceCommand(const Arguments& args) {
  if (args.size() != 2) return Usage("add NAME VERSION");
  return Report(AddInstance(SettingsFilePath(), GameFolder(), args[0], args[1]));
}

static int RenameInstanceCommand(const Arguments& args) {
  if (args.size() != 2) return Usage("rename OLD NEW");
  return Report(RenameInstance(SettingsFilePath(), GameFolder(), args[0], args[1]));
}

static int DeleteInstanceCommand(const Arguments& args) {
  if (args.size() != 1) return Usage("delete NAME");
  InstanceCommandResult result = DeleteInstance(SettingsFilePath(), GameFolder(), args[0]);
  if (result.status == InstanceCommandStatus::Done && !result.folderChanged) {
    std::fprintf(stderr, "korvane-cli: %s\n", msg::kInstanceFolderKept);
  }
  return Report(result);
}

namespace {
const CommandRegistration kAdd{
    {30, "add", "add NAME VERSION         register an instance and create its folder", AddInstanceCommand}};
const CommandRegistration kRename{
    {31, "rename", "rename OLD NEW           rename an instance and its folder", RenameInstanceCommand}};
const CommandRegistration kDelete{
    {32, "delete", "delete NAME              remove an instance and delete its folder", DeleteInstanceCommand}};
}  // namespace

}  // namespace kv::cli
