#pragma once

#include <string>

#include "settings/instance_name.h"

// Adding, renaming and deleting an instance: the registry and the folder together, with the
// checks that every front end applies the same way. A rename carries the selected instance
// (settings/selected_instance.h) over to the new name; a deletion clears it.
namespace kv {

enum class InstanceCommandStatus {
  Done,
  InvalidName,      // see `problem`
  Duplicate,        // the name is already registered
  CaseDuplicate,    // a registered name differs only in letter case (one folder on Windows)
  UnknownInstance,  // no instance of that name
  FolderFailed,     // the instance folder could not be renamed; nothing was changed
  InvalidVersion,   // text that cannot stand in the settings file (a line break)
  WriteFailed,      // the settings file could not be written; nothing was changed
};

struct InstanceCommandResult {
  InstanceCommandStatus status = InstanceCommandStatus::Done;
  InstanceNameProblem problem = InstanceNameProblem::None;
  bool folderChanged = false;  // the folder was created, renamed or deleted
};

// A one-line explanation for the player, in Chinese; empty for Done.
std::string DescribeInstanceCommandResult(const InstanceCommandResult& result);

// The checks of AddInstance on the name, without adding: Done when an instance of that name
// could be added now (asked before the files of its version are fetched).
InstanceCommandResult CheckNewInstance(const std::string& settingsPath, const std::string& name);
InstanceCommandResult AddInstance(const std::string& settingsPath, const std::string& gamePath,
                                  const std::string& name, const std::string& version);
InstanceCommandResult RenameInstance(const std::string& settingsPath, const std::string& gamePath,
                                     const std::string& oldName, const std::string& newName);
// The registry entry goes first; a folder that cannot be deleted (or lies outside the
// instances folder) is left alone and reported through `folderChanged`.
InstanceCommandResult DeleteInstance(const std::string& settingsPath, const std::string& gamePath,
                                     const std::string& name);

}  // namespace kv
