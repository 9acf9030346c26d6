#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// The most entries a load reads, whatever count the file states: a damaged or hand-edited
// count must not stall every start-up. No player keeps this many instances.
inline constexpr std::size_t kMaxInstances = 1000;

struct InstanceEntry {
  std::string name;
  std::string version;
  // When the game of this instance last started, in seconds since 1970 (UTC); nothing before
  // its first game. Kept as "LastPlayed" in the instance's section.
  std::optional<std::int64_t> lastPlayed{};
};

// The registry of instances in the settings file: section "KvInstance" with "InstanceNum",
// and one section "KvInstance<n>" per instance, n counting from 1. A short-lived object:
// every user builds one (which loads), works on it and drops it. Names compare exactly.
class CInstanceList {
 public:
  // The settings file of the launcher folder.
  explicit CInstanceList(bool saveOnDestroy);
  CInstanceList(std::string settingsPath, bool saveOnDestroy);
  ~CInstanceList();
  CInstanceList(const CInstanceList&) = delete;
  CInstanceList& operator=(const CInstanceList&) = delete;

  void Load();
  // Writes sections 1..size and InstanceNum; sections numbered above the size stay as they are.
  // False when a write was refused or failed.
  bool Save() const;

  bool Contains(const std::string& name) const;
  int IndexOf(const std::string& name) const;
  std::string GetVersion(const std::string& name) const;
  void Add(InstanceEntry entry);
  // Removes the first entry with this name, saves, and deletes the section that fell out of
  // use. False for an unknown name (nothing is written) and when the file was not written.
  bool Remove(const std::string& name);
  // Renames the first entry with this name and saves (also when none matched). False for an
  // unknown name and when the file was not written.
  bool Rename(const std::string& oldName, const std::string& newName);
  // Notes that the game of the first entry with this name started at `when`, in its section
  // alone. False for an unknown name and when the file was not written.
  bool SetLastPlayed(const std::string& name, std::chrono::system_clock::time_point when);

  const std::vector<InstanceEntry>& Entries() const { return entries_; }
  // InstanceNum as read by the last load; at most kMaxInstances entries are loaded.
  int Count() const { return count_; }

 private:
  // Save, deleting the section `unused` (none when empty) in the same write.
  bool SaveAndDropSection(const std::string& unused) const;

  std::string path_;
  std::vector<InstanceEntry> entries_;
  int count_ = 0;
  bool saveOnDestroy_;
};

}  // namespace kv
