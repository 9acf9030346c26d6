#include "settings/instance_list.h"

#include <algorithm>

#include "platform/launcher_folder.h"
#include "platform/profile_store.h"

namespace kv {
namespace {

constexpr const char* kRegistrySection = "KvInstance";

std::string InstanceSection(std::size_t number) { return "KvInstance" + std::to_string(number); }

}  // namespace

CInstanceList::CInstanceList(bool saveOnDestroy) : CInstanceList(SettingsFilePath(), saveOnDestroy) {}

CInstanceList::CInstanceList(std::string settingsPath, bool saveOnDestroy)
    : path_(std::move(settingsPath)), saveOnDestroy_(saveOnDestroy) {
  Load();
}

CInstanceList::~CInstanceList() {
  if (saveOnDestroy_) Save();
}

void CInstanceList::Load() {
  entries_.clear();
  count_ = profile::GetInt(path_, kRegistrySection, "InstanceNum", 0);
  const int last = std::min(count_, static_cast<int>(kMaxInstances));
  for (int n = 1; n <= last; ++n) {
    std::string section = InstanceSection(static_cast<std::size_t>(n));
    entries_.push_back({profile::GetString(path_, section, "InstanceName", ""),
                        profile::GetString(path_, section, "InstanceVersion", "")});
  }
}

void CInstanceList::Save() const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    std::string section = InstanceSection(i + 1);
    profile::WriteString(path_, section, "InstanceName", entries_[i].name);
    profile::WriteString(path_, section, "InstanceVersion", entries_[i].version);
  }
  profile::WriteString(path_, kRegistrySection, "InstanceNum", std::to_string(entries_.size()));
}

bool CInstanceList::Contains(const std::string& name) const { return IndexOf(name) != -1; }

int CInstanceList::IndexOf(const std::string& name) const {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const InstanceEntry& entry) { return entry.name == name; });
  return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

std::string CInstanceList::GetVersion(const std::string& name) const {
  int index = IndexOf(name);
  return index < 0 ? std::string() : entries_[static_cast<std::size_t>(index)].version;
}

void CInstanceList::Add(InstanceEntry entry) { entries_.push_back(std::move(entry)); }

bool CInstanceList::Remove(const std::string& name) {
  int index = IndexOf(name);
  if (index < 0) return false;
  entries_.erase(entries_.begin() + index);
  Save();
  profile::DeleteSection(path_, InstanceSection(entries_.size() + 1));
  return true;
}

bool CInstanceList::Rename(const std::string& oldName, const std::string& newName) {
  int index = IndexOf(oldName);
  if (index >= 0) entries_[static_cast<std::size_t>(index)].name = newName;
  Save();
  return index >= 0;
}

}  // namespace kv
