// qrx: the package tool the launcher runs for every mod operation. It works on the instances
// of the launcher folder it is started in, prints what it did, and on failure ends with the
// line "badluck: <reason>" and a non-zero status. Every line it prints begins with its own
// words and holds no line break, so nothing from a catalogue (an id, a file name) can begin a
// line and pass for that failure line.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "net/network_library.h"
#include "platform/file_lock.h"
#include "tools/qrx/qrx_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: qrx init INSTANCE CATALOGUE-URL GAME-VERSION\n"
    "       qrx matchlist INSTANCE GAME-VERSION\n"
    "       qrx list INSTANCE\n"
    "       qrx install INSTANCE MOD-ID\n"
    "       qrx uninstall INSTANCE MOD-ID\n"
    "Run in the launcher folder (the folder of KvCfg.ini). init fetches the catalogue at\n"
    "CATALOGUE-URL (the folder that holds index.json) and the icons of the mods for GAME-VERSION;\n"
    "matchlist and list write .qrx/.info/Matchmod.info and InstalledMod.info in the instance's\n"
    "folder; install and uninstall change the instance's mods folder.\n";

// One line of output: control characters (a line break from a catalogue's text above all)
// become "?".
void PrintLine(std::string_view prefix, const std::string& text) {
  std::string line(prefix);
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    line.push_back(byte < 0x20 || byte == 0x7F ? '?' : ch);
  }
  line.push_back('\n');
  std::fputs(line.c_str(), stdout);
}

int Fail(const std::string& reason, int status = 1) {
  PrintLine("badluck: ", reason);
  std::fflush(stdout);
  return status;
}

std::string LauncherFolder() {
  std::error_code error;
  std::string folder = std::filesystem::current_path(error).string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kv::qrx;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const std::size_t expected = args.empty()                  ? 0
                               : args[0] == "init"           ? 4
                               : args[0] == "matchlist"      ? 3
                               : args[0] == "install"        ? 3
                               : args[0] == "uninstall"      ? 3
                               : args[0] == "list"           ? 2
                                                             : 0;
  if (expected == 0 || args.size() != expected) {
    std::fputs(kUsage, stderr);
    return Fail(args.empty() ? "no command" : "wrong command or arguments: " + args[0], 2);
  }

  std::string error;
  const std::optional<InstancePlace> place = InstancePlace::Find(LauncherFolder(), args[1], error);
  if (!place) return Fail(error);
  if (const kv::Status made = place->MakeFolders(); !made) return Fail(made.message());
  // One qrx at a time per instance: the launcher and the command line may both run it.
  kv::FileLock lock(place->LockPath(), true);
  kv::NetworkLibrary network;
  if (!network.Ready()) return Fail("网络库初始化失败");

  const std::string& command = args[0];
  CommandResult result = command == "init"        ? Init(*place, args[2], args[3])
                         : command == "matchlist" ? MatchList(*place, args[2])
                         : command == "list"      ? List(*place)
                         : command == "install"   ? Install(*place, args[2])
                                                  : Uninstall(*place, args[2]);
  for (const std::string& line : result.lines) PrintLine("", line);
  if (!result.ok) return Fail(result.failure);
  return 0;
}
