#include "net/update_check.h"

#include <spawn.h>
#include <sys/wait.h>

#include <regex>
#include <thread>

#include "util/leading_int.h"

extern char** environ;

namespace kv {

std::string_view LauncherVersion() { return KORVANE_VERSION; }

int CompareVersions(std::string_view a, std::string_view b) {
  while (!a.empty() || !b.empty()) {
    // The next part of each; a version that has run out counts as 0 (so "1.0" equals "1").
    auto next = [](std::string_view& text) {
      const std::size_t dot = text.find('.');
      const int part = ReadLeadingInt(text.substr(0, dot));
      text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
      return part;
    };
    const int left = next(a);
    const int right = next(b);
    if (left != right) return left < right ? -1 : 1;
  }
  return 0;
}

std::optional<std::string> FindNewerVersion(const std::string& versionFileUrl, const TextFetcher& fetch) {
  std::string reply;
  if (!fetch(versionFileUrl, reply) || reply.empty() || reply.size() > 255) return std::nullopt;
  // The file holds a dotted version and perhaps blanks and a line end; anything else is some
  // other page.
  static const std::regex kVersion(R"(\s*(\d+(\.\d+)*)\s*)");
  std::smatch match;
  if (!std::regex_match(reply, match, kVersion)) return std::nullopt;
  std::string published = match[1];
  if (CompareVersions(LauncherVersion(), published) >= 0) return std::nullopt;
  return published;
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
