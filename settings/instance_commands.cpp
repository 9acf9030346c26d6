#include "settings/instance_commands.h"

#include <algorithm>

#include "platform/profile_store.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/selected_instance.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

std::string DescribeInstanceCommandResult(const InstanceCommandResult& result) {
  switch (result.status) {
    case InstanceCommandStatus::Done: return {};
    case InstanceCommandStatus::InvalidName: return DescribeInstanceNameProblem(result.problem);
    case InstanceCommandStatus::Duplicate: return msg::kInstanceDuplicate;
    case InstanceCommandStatus::CaseDuplicate: return msg::kInstanceDuplicateCase;
    case InstanceCommandStatus::UnknownInstance: return msg::kInstanceUnknown;
    case InstanceCommandStatus::FolderFailed: return msg::kInstanceFolderFailed;
    case InstanceCommandStatus::InvalidVersion: return msg::kInstanceVersionInvalid;
    case InstanceCommandStatus::WriteFailed: return msg::kSettingsNotWritten;
  }
  return {};
}

namespace {

// The name's problem, including one the settings file has: a character its code page lacks.
InstanceNameProblem NameProblem(const std::string& settingsPath, const std::string& name) {
  const InstanceNameProblem problem = CheckInstanceName(name);
  if (problem != InstanceNameProblem::None) return problem;
  return profile::CanHold(settingsPath, name) ? InstanceNameProblem::None : InstanceNameProblem::NotInSettingsFile;
}

// A version id becomes one line of the settings file. (An instance without a version can be
// registered; it starts nothing until it has one.)
bool IsValidVersionText(const std::string& settingsPath, const std::string& version) {
  const bool control = std::any_of(version.begin(), version.end(),
                                   [](char ch) { return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f; });
  return !control && profile::CanHold(settingsPath, version);
}

// Duplicate or CaseDuplicate when `name` would share the folder of a registered instance
// other than `self`; Done otherwise.
InstanceCommandStatus ClashWith(const CInstanceList& list, const std::string& name, const std::string* self) {
  if (list.Contains(name)) return InstanceCommandStatus::Duplicate;
  for (const InstanceEntry& entry : list.Entries()) {
    if ((self == nullptr || entry.name != *self) && NamesShareFolder(entry.name, name)) {
      return InstanceCommandStatus::CaseDuplicate;
    }
  }
  return InstanceCommandStatus::Done;
}

InstanceCommandResult Refused(InstanceCommandStatus status, InstanceNameProblem problem = InstanceNameProblem::None) {
  InstanceCommandResult result;
  result.status = status;
  result.problem = problem;
  return result;
}

}  // namespace

InstanceCommandResult CheckNewInstance(const std::string& settingsPath, const std::string& name) {
  if (const InstanceNameProblem problem = NameProblem(settingsPath, name); problem != InstanceNameProblem::None) {
    return Refused(InstanceCommandStatus::InvalidName, problem);
  }
  if (const InstanceCommandStatus clash = ClashWith(CInstanceList(settingsPath, false), name, nullptr);
      clash != InstanceCommandStatus::Done) {
    return Refused(clash);
  }
  return {};
}

InstanceCommandResult AddInstance(const std::string& settingsPath, const std::string& gamePath,
                                  const std::string& name, const std::string& version) {
  if (InstanceCommandResult check = CheckNewInstance(settingsPath, name); check.status != InstanceCommandStatus::Done) {
    return check;
  }
  if (!IsValidVersionText(settingsPath, version)) return Refused(InstanceCommandStatus::InvalidVersion);
  CInstanceList list(settingsPath, false);
  const std::string folder = InstanceFolder(gamePath, name);
  const bool folderExisted = PathExists(folder);
  MakeFoldersForPath(folder);
  list.Add({name, version});
  if (!list.Save()) {
    // A folder made for an instance that was not registered would be left behind for nothing.
    if (!folderExisted) DeleteFolder(folder, InstancesRoot(gamePath));
    return Refused(InstanceCommandStatus::WriteFailed);
  }
  InstanceCommandResult result;
  result.folderChanged = !folderExisted && PathExists(folder);
  return result;
}

InstanceCommandResult RenameInstance(const std::string& settingsPath, const std::string& gamePath,
                                     const std::string& oldName, const std::string& newName) {
  if (const InstanceNameProblem problem = NameProblem(settingsPath, newName); problem != InstanceNameProblem::None) {
    return Refused(InstanceCommandStatus::InvalidName, problem);
  }
  CInstanceList list(settingsPath, false);
  if (const InstanceCommandStatus clash = ClashWith(list, newName, &oldName); clash != InstanceCommandStatus::Done) {
    return Refused(clash);
  }
  if (!list.Contains(oldName)) return Refused(InstanceCommandStatus::UnknownInstance);
  const std::string root = InstancesRoot(gamePath);
  const std::string from = InstanceFolder(gamePath, oldName);
  const std::string to = InstanceFolder(gamePath, newName);
  if (!RenameFolder(from, to, root)) return Refused(InstanceCommandStatus::FolderFailed);
  if (!list.Rename(oldName, newName)) {
    // Folder and registry must agree: the folder goes back to the name the registry keeps.
    RenameFolder(to, from, root);
    return Refused(InstanceCommandStatus::WriteFailed);
  }
  if (LoadSelectedInstance(settingsPath) == oldName) SaveSelectedInstance(settingsPath, newName);
  InstanceCommandResult result;
  result.folderChanged = true;
  return result;
}

InstanceCommandResult DeleteInstance(const std::string& settingsPath, const std::string& gamePath,
                                     const std::string& name) {
  CInstanceList list(settingsPath, false);
  if (!list.Contains(name)) return Refused(InstanceCommandStatus::UnknownInstance);
  if (!list.Remove(name)) return Refused(InstanceCommandStatus::WriteFailed);
  if (LoadSelectedInstance(settingsPath) == name) SaveSelectedInstance(settingsPath, "");
  InstanceCommandResult result;
  result.folderChanged = DeleteFolder(InstanceFolder(gamePath, name), InstancesRoot(gamePath));
  return result;
}

}  // namespace kv
