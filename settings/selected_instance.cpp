#include "settings/selected_instance.h"

#include "platform/profile_store.h"

namespace kv {
namespace {

constexpr const char* kSection = "KvCfg";
constexpr const char* kKey = "SelectedInstance";

}  // namespace

std::string LoadSelectedInstance(const std::string& settingsPath) {
  return profile::GetString(settingsPath, kSection, kKey, "");
}

bool SaveSelectedInstance(const std::string& settingsPath, const std::string& name) {
  if (LoadSelectedInstance(settingsPath) == name) return true;
  return profile::WriteString(settingsPath, kSection, kKey, name);
}

}  // namespace kv
