#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "game/game_files.h"
#include "platform/launcher_folder.h"
#include "settings/instance_commands.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kAddUsage = "add NAME VERSION [--force]";
constexpr const char* kRenameUsage = "rename OLD NEW";
constexpr const char* kDeleteUsage = "delete NAME";

// The refusal (naming the instance `name` when there is none of that name), or the line saying
// what was done.
int Report(const InstanceCommandResult& result, const std::string& name, const std::string& done) {
  if (result.status == InstanceCommandStatus::UnknownInstance) return Fail(msg::InstanceUnknown(Printable(name)));
  if (result.status != InstanceCommandStatus::Done) return Fail(DescribeInstanceCommandResult(result));
  std::printf("%s\n", done.c_str());
  return 0;
}

}  // namespace

// A version that the cached version list does not name, and that is not installed, is most
// likely mistyped: it is registered only when the player insists.
static int AddInstanceCommand(const Arguments& args) {
  Arguments names;
  bool force = false;
  for (const std::string& arg : args) {
    if (arg == "--force") force = true;
    else names.push_back(arg);
  }
  if (names.size() != 2) return Usage(kAddUsage);
  const std::string& name = names[0];
  const std::string& version = names[1];
  const std::string gamePath = GameFolder();
  if (!force && !IsKnownVersion(gamePath, version)) {
    return Fail(msg::VersionNotListed(version) + "（确实要添加请加上 --force）");
  }
  return Report(AddInstance(SettingsFilePath(), gamePath, name, version), name, msg::InstanceAdded(name, version));
}

static int RenameInstanceCommand(const Arguments& args) {
  if (args.size() != 2) return Usage(kRenameUsage);
  return Report(RenameInstance(SettingsFilePath(), GameFolder(), args[0], args[1]), args[0],
                msg::InstanceRenamed(args[0], args[1]));
}

static int DeleteInstanceCommand(const Arguments& args) {
  if (args.size() != 1) return Usage(kDeleteUsage);
  InstanceCommandResult result = DeleteInstance(SettingsFilePath(), GameFolder(), args[0]);
  if (result.status == InstanceCommandStatus::Done && !result.folderChanged) Note(msg::kInstanceFolderKept);
  return Report(result, args[0], msg::InstanceDeleted(args[0]));
}

namespace {
const CommandRegistration kAdd{
    {30, "add", kAddUsage, "添加游戏实例并创建它的文件夹\n（--force：版本列表中没有、也未安装的版本也添加）", AddInstanceCommand}};
const CommandRegistration kRename{{31, "rename", kRenameUsage, "重命名游戏实例及其文件夹", RenameInstanceCommand}};
const CommandRegistration kDelete{{32, "delete", kDeleteUsage, "删除游戏实例及其文件夹", DeleteInstanceCommand}};
}  // namespace

}  // namespace kv::cli
