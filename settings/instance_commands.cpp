#include "settings/instance_commands.h"

#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

std::string DescribeInstanceCommandResult(const InstanceCommandResult& result) {
  switch (result.status) {
    case InstanceCommandStatus::Done: return {};
    case InstanceCommandStatus::InvalidName: return DescribeInstanceNameProblem(result.problem);
    case InstanceCommandStatus::Duplicate: return msg::kInstanceDuplicate;
    case InstanceCommandStatus::UnknownInstance: return msg::kInstanceUnknown;
    case InstanceCommandStatus::FolderFailed: return msg::kInstanceFolderFailed;
  }
  return {};
}

InstanceCommandResult AddInstance(const std::string& settingsPath, const std::string& gamePath,
                                  const std::string& name, const std::string& version) {
  InstanceCommandResult result;
  result.problem = CheckInstanceName(name);
  if (result.problem != InstanceNameProblem::None) {
    result.status = InstanceCommandStatus::InvalidName;
    return result;
  }
  CInstanceList list(settingsPath, true);
  if (list.Contains(name)) {
    result.status = InstanceCommandStatus::Duplicate;
    return result;
  }
  std::string folder = InstanceFolder(gamePath, name);
  MakeFoldersForPath(folder);
  result.folderChanged = PathExists(folder);
  list.Add({name, version});
  return result;
}

InstanceCommandResult RenameInstance(const std::string& settingsPath, const std::string& gamePath,
                                     const std::string& oldName, const std::string& newName) {
  InstanceCommandResult result;
  result.problem = CheckInstanceName(newName);
  if (result.problem != InstanceNameProblem::None) {
    result.status = InstanceCommandStatus::InvalidName;
    return result;
  }
  CInstanceList list(settingsPath, false);
  if (list.Contains(newName)) {
    result.status = InstanceCommandStatus::Duplicate;
    return result;
  }
  if (!list.Contains(oldName)) {
    result.status = InstanceCommandStatus::UnknownInstance;
    return result;
  }
  if (!RenameFolder(InstanceFolder(gamePath, oldName), InstanceFolder(gamePath, newName),
                    InstancesRoot(gamePath))) {
    result.status = InstanceCommandStatus::FolderFailed;
    return result;
  }
  result.folderChanged = true;
  list.Rename(oldName, newName);
  return result;
}

InstanceCommandResult DeleteInstance(const std::string& settingsPath, const std::string& gamePath,
                                     const std::string& name) {
  InstanceCommandResult result;
  CInstanceList list(settingsPath, false);
  if (!list.Remove(name)) {
    result.status = InstanceCommandStatus::UnknownInstance;
    return result;
  }
  result.folderChanged = DeleteFolder(InstanceFolder(gamePath, name), InstancesRoot(gamePath));
  return result;
}

}  // namespace kv
