#include "mods/package_tool.h"

#include <array>

#include "net/endpoints.h"
#include "platform/child_process.h"
#include "platform/diagnostic_log.h"
#include "platform/platform_profile.h"
#include "settings/instance_folders.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

constexpr std::size_t kKeptOutputBytes = 64 * 1024;

constexpr std::size_t kKeptLineBytes = 1024;

// Finds the tool's failure line in a stream of chunks: a line that begins with the failure
// word, however the chunks split it. The word anywhere else in a line is data (a mod's id, a
// file name) and says nothing about the run.
class FailureLineScan {
 public:
  void Feed(std::string_view chunk) {
    for (const char c : chunk) {
      if (c == '\n' || c == '\r') {
        EndLine();
      } else if (line_.size() < kKeptLineBytes) {
        line_.push_back(c);
      }
    }
  }
  void Finish() { EndLine(); }
  bool Found() const { return found_; }
  // The words after the failure word on the last failure line, without control characters.
  const std::string& Reason() const { return reason_; }

 private:
  void EndLine() {
    if (line_.compare(0, kFailureMarker.size(), kFailureMarker) == 0) {
      found_ = true;
      reason_.clear();
      const std::size_t start = line_.find_first_not_of(": \t", kFailureMarker.size());
      for (std::size_t i = start == std::string::npos ? line_.size() : start; i < line_.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line_[i]);
        if (byte >= 0x20 && byte != 0x7F) reason_.push_back(line_[i]);
      }
    }
    line_.clear();
  }

  std::string line_;
  std::string reason_;
  bool found_ = false;
};

void KeepTail(std::string& kept, std::string_view chunk) {
  kept.append(chunk);
  if (kept.size() > kKeptOutputBytes) kept.erase(0, kept.size() - kKeptOutputBytes);
}

std::string FailureReason(const ToolRun& run, const PackageTool& tool) {
  if (!run.started) return msg::ModToolNotStarted(run.startError);
  if (run.silenced) {
    return msg::ModToolSilent(std::chrono::duration_cast<std::chrono::minutes>(tool.quietLimit).count());
  }
  if (run.reportedFailure) return run.reportedReason.empty() ? msg::kModToolReportedFailure : run.reportedReason;
  return msg::ModToolExitStatus(run.exitStatus);
}

bool Fail(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return false;
}

bool Run(const PackageTool& tool, const std::vector<std::string>& arguments, std::string* why) {
  const ToolRun run = RunToolCaptured(tool, arguments);
  if (run.Succeeded()) return true;
  return Fail(why, FailureReason(run, tool));
}

std::string ResultPath(const PackageTool& tool, const std::string& instanceName, const char* fileName) {
  const std::string folder = InstanceFolder(tool.gamePath, instanceName);
  if (!IsStrictlyInside(folder, InstancesRoot(tool.gamePath))) return {};
  return folder + ".qrx/.info/" + fileName;
}

// An instance the tool may be run for: named, and with a folder inside the instances' folder.
bool UsableInstance(const PackageTool& tool, const std::string& instanceName, std::string* why) {
  if (instanceName.empty()) return Fail(why, msg::kModToolMissingArgument);
  if (ResultPath(tool, instanceName, "").empty()) return Fail(why, msg::kModInstanceFolderRefused);
  return true;
}

template <typename Record, typename Parser>
bool ReadResult(const std::string& path, std::vector<Record>& out, Parser parse, std::string* why) {
  const std::optional<std::string> text = path.empty() ? std::nullopt : ReadWholeFile(path);
  if (!text || !parse(*text, out)) return Fail(why, msg::kModListUnreadable);
  return true;
}

}  // namespace

PackageTool PackageTool::ForLauncher(const std::string& programFolder, const std::string& settingsPath,
                                     const std::string& gamePath) {
  PackageTool tool;
  tool.program = programFolder + "qrx" + PlatformProfile::Host().executableSuffix;
  std::string name;
  SplitPath(settingsPath, tool.workingFolder, name);
  tool.catalogueBase = CatalogueBase();
  tool.gamePath = gamePath;
  return tool;
}

std::optional<std::string> GameVersionOf(std::string_view versionId) {
  const std::size_t forge = versionId.find("-Forge");
  if (forge == std::string_view::npos) return std::nullopt;
  return std::string(versionId.substr(0, forge));
}

ToolRun RunToolCaptured(const PackageTool& tool, const std::vector<std::string>& arguments) {
  ToolRun run;
  std::vector<std::string> argv{tool.program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::optional<ChildProcess> process = ChildProcess::Start(argv, tool.workingFolder, run.startError);
  if (!process) {
    LogLine(LogLevel::Warning, "The package tool did not start: " + run.startError);
    return run;
  }
  run.started = true;
  FailureLineScan scan;
  std::array<char, 4096> buffer{};
  for (;;) {
    const std::optional<std::size_t> got = process->ReadOutputFor(buffer.data(), buffer.size(), tool.quietLimit);
    if (!got) {
      run.silenced = true;
      process->Kill();
      break;
    }
    if (*got == 0) break;
    const std::string_view chunk(buffer.data(), *got);
    scan.Feed(chunk);
    KeepTail(run.output, chunk);
  }
  run.exitStatus = process->Wait();
  scan.Finish();
  run.reportedFailure = scan.Found();
  run.reportedReason = scan.Reason();
  std::string summary = "Package tool";
  for (const std::string& argument : arguments) summary += " \"" + argument + "\"";
  LogLine(run.Succeeded() ? LogLevel::Info : LogLevel::Warning,
          summary + ": status " + std::to_string(run.exitStatus) + (run.silenced ? ", silent too long" : "") +
              (run.reportedFailure ? ", reported failure" : "") + "\n" + run.output);
  return run;
}

std::string MatchListPath(const PackageTool& tool, const std::string& instanceName) {
  return ResultPath(tool, instanceName, "Matchmod.info");
}

std::string InstalledListPath(const PackageTool& tool, const std::string& instanceName) {
  return ResultPath(tool, instanceName, "InstalledMod.info");
}

bool PkgInit(const PackageTool& tool, const std::string& instanceName, const std::string& versionId,
             std::string* why) {
  const std::optional<std::string> gameVersion = GameVersionOf(versionId);
  if (!gameVersion) return Fail(why, msg::kModsNeedForge);
  if (!UsableInstance(tool, instanceName, why)) return false;
  return Run(tool, {"init", instanceName, tool.catalogueBase, *gameVersion}, why);
}

bool PkgInstall(const PackageTool& tool, const std::string& instanceName, const std::string& modId,
                std::string* why) {
  if (!UsableInstance(tool, instanceName, why)) return false;
  if (modId.empty()) return Fail(why, msg::kModToolMissingArgument);
  return Run(tool, {"install", instanceName, modId}, why);
}

bool PkgUninstall(const PackageTool& tool, const std::string& instanceName, const std::string& modId,
                  std::string* why) {
  if (!UsableInstance(tool, instanceName, why)) return false;
  if (modId.empty()) return Fail(why, msg::kModToolMissingArgument);
  return Run(tool, {"uninstall", instanceName, modId}, why);
}

bool PkgMatchList(const PackageTool& tool, const std::string& instanceName, const std::string& versionId,
                  std::vector<CatalogueMod>& catalogue, std::string* why) {
  const std::optional<std::string> gameVersion = GameVersionOf(versionId);
  if (!gameVersion) return Fail(why, msg::kModsNeedForge);
  if (!UsableInstance(tool, instanceName, why)) return false;
  if (!Run(tool, {"matchlist", instanceName, *gameVersion}, why)) return false;
  return ReadResult(MatchListPath(tool, instanceName), catalogue, ParseCatalogue, why);
}

bool PkgList(const PackageTool& tool, const std::string& instanceName, std::vector<InstalledMod>& installed,
             std::string* why) {
  if (!UsableInstance(tool, instanceName, why)) return false;
  if (!Run(tool, {"list", instanceName}, why)) return false;
  return ReadResult(InstalledListPath(tool, instanceName), installed, ParseInstalledList, why);
}

bool PkgRefreshList(const PackageTool& tool, const std::string& instanceName, std::string* why) {
  if (!UsableInstance(tool, instanceName, why)) return false;
  return Run(tool, {"list", instanceName}, why);
}

}  // namespace kv
