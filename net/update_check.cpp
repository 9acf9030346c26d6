#include "net/update_check.h"

#include <spawn.h>
#include <sys/wait.h>

#include <regex>
#include <thread>

#include "util/leading_int.h"

extern char** environ;

namespace kv {

int VersionNumber(const std::string& text) {
  std::string digits;
  for (char ch : text) {
    if (ch != '.') digits += ch;
  }
  // A number too large for an int must not wrap round and make a newer version look older.
  return ReadLeadingInt(digits);
}

std::optional<std::string> FindNewerVersion(const std::string& versionFileUrl, const TextFetcher& fetch) {
  std::string reply;
  if (!fetch(versionFileUrl, reply) || reply.empty() || reply.size() > 255) return std::nullopt;
  // The file holds a dotted version and perhaps a line end; anything else is some other page.
  static const std::regex kVersion(R"(\s*\d+(\.\d+)*\s*)");
  if (!std::regex_match(reply, kVersion)) return std::nullopt;
  if (VersionNumber(kLauncherVersion) >= VersionNumber(reply)) return std::nullopt;
  return reply;
}

std::string UpdateCommandLine(const std::string& publishedVersion) {
  return "Update:" + publishedVersion;
}

bool StartUpdater(const std::string& folder, const std::string& executableSuffix,
                  const std::string& commandLine) {
  std::string program = folder + "Update" + executableSuffix;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<char*> argv{program.data(), const_cast<char*>(commandLine.c_str()), nullptr};
  pid_t pid = -1;
  int result = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return false;
  // Not waited for; only reaped when it ends, so it leaves no zombie behind.
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
  return true;
}

}  // namespace kv
