#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "game/game_files.h"
#include "platform/launcher_folder.h"
#include "platform/secret_input.h"
#include "settings/instance_commands.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kAddUsage = "add NAME VERSION [--force | --loader KIND[:VERSION]]";
constexpr const char* kRenameUsage = "rename OLD NEW";
constexpr const char* kDeleteUsage = "delete NAME [--yes]";

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
  std::optional<std::string> loader;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--force") {
      force = true;
    } else if (args[i] == "--loader" && i + 1 < args.size() && !loader) {
      loader = args[++i];
    } else {
      names.push_back(args[i]);
    }
  }
  if (names.size() != 2 || args.back() == "--loader" || (force && loader)) return Usage(kAddUsage);
  const std::string& name = names[0];
  const std::string& version = names[1];
  if (loader) return AddInstanceWithLoader(name, version, *loader);
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

namespace {

// The player's answer to a question on the terminal: yes only when said so.
bool AnsweredYes() {
  char line[64] = {};
  if (std::fgets(line, sizeof line, stdin) == nullptr) return false;
  std::string answer(line);
  while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r' || answer.back() == ' ')) answer.pop_back();
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" || answer == "Yes" || answer == "是";
}

}  // namespace

// Deleting takes the instance's worlds, mods and settings for good, so it is confirmed: by the
// player at a terminal, or by --yes where no one can be asked.
static int DeleteInstanceCommand(const Arguments& args) {
  Arguments names;
  bool confirmed = false;
  for (const std::string& arg : args) {
    if (arg == "--yes" || arg == "-y") confirmed = true;
    else names.push_back(arg);
  }
  if (names.size() != 1) return Usage(kDeleteUsage);
  const std::string& name = names[0];
  const std::string gamePath = GameFolder();
  if (!CInstanceList(SettingsFilePath(), false).Contains(name)) return Fail(msg::InstanceUnknown(Printable(name)));
  if (!confirmed) {
    if (!StandardInputIsTerminal()) return Fail("删除会永久删除实例的文件夹，需要确认：不在终端中运行时请加上 --yes");
    std::fprintf(stderr, "%s [y/N] ", msg::DeleteInstanceQuestion(name, ShownInstanceFolder(gamePath, name)).c_str());
    std::fflush(stderr);
    if (!AnsweredYes()) return Fail("已取消，游戏实例未删除");
  }
  InstanceCommandResult result = DeleteInstance(SettingsFilePath(), gamePath, name);
  if (result.status == InstanceCommandStatus::Done && !result.folderChanged) Note(msg::kInstanceFolderKept);
  return Report(result, name, msg::InstanceDeleted(name));
}

namespace {
const CommandRegistration kAdd{
    {30, "add", kAddUsage, "添加游戏实例并创建它的文件夹\n（--force：版本列表中没有、也未安装的版本也添加；\n"
     "--loader：先为游戏版本安装加载器，实例使用加载器的版本）", AddInstanceCommand}};
const CommandRegistration kRename{{31, "rename", kRenameUsage, "重命名游戏实例及其文件夹", RenameInstanceCommand}};
const CommandRegistration kDelete{
    {32, "delete", kDeleteUsage, "删除游戏实例及其文件夹（先询问；--yes：不询问）", DeleteInstanceCommand}};
}  // namespace

}  // namespace kv::cli
