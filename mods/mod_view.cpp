#include "mods/mod_view.h"

#include "settings/instance_folders.h"
#include "util/file_names.h"
#include "util/messages.h"

namespace kv {
namespace {

void RemoveAll(std::string& text, std::string_view part) {
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (a != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> ModPlaceholderText(int kind) {
  switch (static_cast<ModPlaceholder>(kind)) {
    case ModPlaceholder::NotSupported: return msg::kModsNotSupported;
    case ModPlaceholder::Loading: return msg::kModsLoading;
    case ModPlaceholder::NoneInstalled: return msg::kModsNoneInstalled;
  }
  return std::nullopt;
}

bool CountsAsInstalled(const CatalogueMod& mod) { return mod.installed.find("true") != std::string::npos; }

std::string AuthorLine(const std::vector<std::string>& authors) {
  std::string line;
  for (const std::string& author : authors) line += author + "  ";
  return line;
}

std::string ModIconPath(const std::string& gamePath, const std::string& instanceName, const std::string& icon) {
  if (!IsPlainFileName(icon) || icon.find('\'') != std::string::npos) return {};
  const std::string folder = InstanceFolder(gamePath, instanceName);
  if (!IsStrictlyInside(folder, InstancesRoot(gamePath))) return {};
  return folder + ".qrx/.cache/" + icon;
}

std::optional<std::string> ModLinkAddress(std::string_view linkText) {
  std::string address(linkText);
  RemoveAll(address, "{a}{f 3}");
  RemoveAll(address, "{/f}{/a}");
  const std::size_t first = address.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  address = address.substr(first, address.find_last_not_of(" \t") - first + 1);
  const bool web = StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://");
  if (!web || address.find_first_of(" \t\r\n") != std::string::npos) return std::nullopt;
  return address;
}

}  // namespace kv
