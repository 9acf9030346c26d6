#include "settings/instance_name.h"

#include <cctype>

#include "util/messages.h"
#include "util/text.h"

namespace kv {
namespace {

bool IsReservedDeviceName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& ch : stem) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

InstanceNameProblem CheckInstanceName(std::string_view name) {
  if (name.empty()) return InstanceNameProblem::Empty;
  if (!IsValidUtf8(name)) return InstanceNameProblem::InvalidText;
  if (CountCodePoints(name) > kMaxInstanceNameLength) return InstanceNameProblem::TooLong;
  if (name == "." || name == "..") return InstanceNameProblem::DotName;
  for (char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    if (ch == '/' || ch == '\\') return InstanceNameProblem::Separator;
    if (c < 0x20 || c == 0x7F) return InstanceNameProblem::ControlCharacter;
    if (std::string_view("<>:\"|?*").find(ch) != std::string_view::npos) {
      return InstanceNameProblem::ForbiddenCharacter;
    }
  }
  if (name.back() == '.' || name.back() == ' ') return InstanceNameProblem::TrailingDotOrBlank;
  if (IsReservedDeviceName(name)) return InstanceNameProblem::ReservedName;
  return InstanceNameProblem::None;
}

std::string DescribeInstanceNameProblem(InstanceNameProblem problem) {
  switch (problem) {
    case InstanceNameProblem::None: return {};
    case InstanceNameProblem::Empty: return msg::kNameEmpty;
    case InstanceNameProblem::TooLong: return msg::kNameTooLong;
    case InstanceNameProblem::DotName: return msg::kNameDots;
    case InstanceNameProblem::Separator: return msg::kNameSeparator;
    case InstanceNameProblem::ControlCharacter: return msg::kNameControlCharacter;
    case InstanceNameProblem::ForbiddenCharacter: return msg::kNameForbiddenCharacter;
    case InstanceNameProblem::TrailingDotOrBlank: return msg::kNameTrailingDotOrBlank;
    case InstanceNameProblem::ReservedName: return msg::kNameReserved;
    case InstanceNameProblem::InvalidText: return msg::kNameInvalidText;
    case InstanceNameProblem::NotInSettingsFile: return msg::kNameNotInSettingsFile;
  }
  return {};
}

bool NamesShareFolder(std::string_view a, std::string_view b) { return a == b || ToUpperCase(a) == ToUpperCase(b); }

}  // namespace kv
