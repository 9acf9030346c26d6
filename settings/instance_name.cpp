#include "settings/instance_name.h"

#include <cctype>

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
    case InstanceNameProblem::Empty: return "实例名称不能为空";
    case InstanceNameProblem::TooLong: return "实例名称不能超过50个字符";
    case InstanceNameProblem::DotName: return "实例名称不能是“.”或“..”";
    case InstanceNameProblem::Separator: return "实例名称不能包含“/”或“\\”";
    case InstanceNameProblem::ControlCharacter: return "实例名称不能包含控制字符";
    case InstanceNameProblem::ForbiddenCharacter: return "实例名称不能包含 < > : \" | ? * 这些字符";
    case InstanceNameProblem::TrailingDotOrBlank: return "实例名称不能以点或空格结尾";
    case InstanceNameProblem::ReservedName: return "实例名称不能是系统保留的设备名";
    case InstanceNameProblem::InvalidText: return "实例名称不是有效的文本";
  }
  return {};
}

}  // namespace kv
