#include "settings/instance_list.h"

#include <algorithm>

#include "platform/launcher_folder.h"
#include "platform/profile_store.h"

namespace kv {
namespace {

constexpr const char* kRegistrySection = "KvInstance";
constexpr const char* kLastPlayedKey = "LastPlayed";

std::string InstanceSection(std::size_t number) { return "KvInstance" + std::to_string(number); }

// Whole seconds, digits only: anything else (a value edited by hand) reads as never played.
std::optional<std::int64_t> ParseLastPlayed(const std::string& text) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(text);
}

std::string LastPlayedText(const std::optional<std::int64_t>& seconds) {
  return seconds ? std::to_string(*seconds) : std::string();
}

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
                        profile::GetString(path_, section, "InstanceVersion", ""),
                        ParseLastPlayed(profile::GetString(path_, section, kLastPlayedKey, ""))});
  }
}

bool CInstanceList::Save() const { return SaveAndDropSection({}); }

bool CInstanceList::SaveAndDropSection(const std::string& unused) const {
  // One replacement of the file: a registry is never left half written.
  std::vector<std::string> sections;
  std::vector<std::string> lastPlayed;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    sections.push_back(InstanceSection(i + 1));
    lastPlayed.push_back(LastPlayedText(entries_[i].lastPlayed));
  }
  const std::string count = std::to_string(entries_.size());
  std::vector<profile::Write> writes;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    writes.push_back({sections[i], "InstanceName", entries_[i].name});
    writes.push_back({sections[i], "InstanceVersion", entries_[i].version});
    // Each entry takes its time along when the entries after a removed one move up.
    writes.push_back({sections[i], kLastPlayedKey, profile::ValueUnlessEmpty(lastPlayed[i])});
  }
  writes.push_back({kRegistrySection, "InstanceNum", count});
  if (!unused.empty()) writes.push_back({unused, std::nullopt, std::nullopt});
  return profile::WriteStrings(path_, writes);
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
  return SaveAndDropSection(InstanceSection(entries_.size() + 1));
}

bool CInstanceList::Rename(const std::string& oldName, const std::string& newName) {
  int index = IndexOf(oldName);
  if (index >= 0) entries_[static_cast<std::size_t>(index)].name = newName;
  return Save() && index >= 0;
}

bool CInstanceList::SetLastPlayed(const std::string& name, std::chrono::system_clock::time_point when) {
  const int index = IndexOf(name);
  if (index < 0) return false;
  const std::int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count();
  entries_[static_cast<std::size_t>(index)].lastPlayed = seconds;
  return profile::WriteString(path_, InstanceSection(static_cast<std::size_t>(index) + 1), kLastPlayedKey,
                              std::to_string(seconds));
}

}  // namespace kv
