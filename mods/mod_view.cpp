#include "mods/mod_view.h"

#include "net/url_encoding.h"
#include "settings/instance_folders.h"
#include "util/ascii_text.h"
#include "util/file_names.h"
#include "util/messages.h"

namespace kv {
namespace {

void RemoveAll(std::string& text, std::string_view part) {
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
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
  address = Trim(address);
  if (!IsWebAddress(address) || address.find_first_of(" \t\r\n") != std::string::npos) return std::nullopt;
  return address;
}

}  // namespace kv
