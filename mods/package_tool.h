#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mods/mod_documents.h"

// The launcher's side of the package tool, qrx: it runs the tool for every mod operation
// (hidden, output captured, argument vector, no shell), decides from the tool's exit status
// and its failure line whether the run succeeded, and reads the result files the tool leaves
// in the instance's ".qrx/.info" folder. Blocking calls; run them off the GUI thread.
namespace kv {

struct PackageTool {
  std::string program;        // the tool's executable
  std::string workingFolder;  // the launcher folder: the tool finds the settings file there
  std::string catalogueBase;  // the catalogue base address handed to init, ".../allmod/"
  std::string gamePath;       // the instances live in gamePath + "../Instance/"
  // A run that neither prints nor ends for this long is ended and counts as failed.
  std::chrono::milliseconds quietLimit = std::chrono::minutes(10);

  // qrx in `programFolder` (the launcher finds it beside its own executable), run in the
  // folder of `settingsPath`, with the configured catalogue base.
  static PackageTool ForLauncher(const std::string& programFolder, const std::string& settingsPath,
                                 const std::string& gamePath);
};

// The word that begins the line a tool prints when an operation fails ("badluck: reason").
// Only at the start of a line does it report a failure: inside a line it is the tool's data.
inline constexpr std::string_view kFailureMarker = "badluck";

// The game version of a Forge version id: the text before the first "-Forge"
// ("1.7.10-Forge10.13.2.1291" gives "1.7.10"). Nothing without "-Forge": mods are offered for
// Forge versions only.
std::optional<std::string> GameVersionOf(std::string_view versionId);

struct ToolRun {
  bool started = false;
  bool silenced = false;       // ended for keeping quiet beyond the limit
  int exitStatus = -1;
  bool reportedFailure = false;  // a line of the output begins with the failure word
  std::string reportedReason;    // what follows the failure word on that line
  std::string output;          // the last part of the output (at most 64 KiB)
  std::string startError;      // why it did not start
  bool Succeeded() const { return started && !silenced && exitStatus == 0 && !reportedFailure; }
};

// Runs the tool with `arguments` in its working folder and reads its output to the end.
ToolRun RunToolCaptured(const PackageTool& tool, const std::vector<std::string>& arguments);

// The result files of an instance; empty when the instance's name cannot be a folder.
std::string MatchListPath(const PackageTool& tool, const std::string& instanceName);
std::string InstalledListPath(const PackageTool& tool, const std::string& instanceName);

// The operations. Each returns true on success; on failure it puts a one-line reason for the
// player into `why` when given. Empty names or ids and non-Forge versions fail without running
// the tool; the listing operations fill their out list only when the result file was read and
// accepted, and leave it as it was otherwise.
bool PkgInit(const PackageTool& tool, const std::string& instanceName, const std::string& versionId,
             std::string* why = nullptr);
bool PkgInstall(const PackageTool& tool, const std::string& instanceName, const std::string& modId,
                std::string* why = nullptr);
bool PkgUninstall(const PackageTool& tool, const std::string& instanceName, const std::string& modId,
                  std::string* why = nullptr);
bool PkgMatchList(const PackageTool& tool, const std::string& instanceName, const std::string& versionId,
                  std::vector<CatalogueMod>& catalogue, std::string* why = nullptr);
bool PkgList(const PackageTool& tool, const std::string& instanceName, std::vector<InstalledMod>& installed,
             std::string* why = nullptr);
// Lets the tool rewrite the installed list; the file is not read.
bool PkgRefreshList(const PackageTool& tool, const std::string& instanceName, std::string* why = nullptr);

}  // namespace kv
