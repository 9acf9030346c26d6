#pragma once

#include <string>
#include <string_view>

namespace kv {

// Why a text cannot name an instance. An instance's name is also the name of its folder, so
// it must be one harmless folder name on every system the launcher runs on.
enum class InstanceNameProblem {
  None,
  Empty,
  TooLong,            // more than kMaxInstanceNameLength characters
  DotName,            // "." or ".."
  Separator,          // "/" or "\"
  ControlCharacter,   // NUL, line breaks and other control characters
  ForbiddenCharacter, // < > : " | ? * (Windows refuses them in folder names)
  TrailingDotOrBlank, // Windows drops them, so two names would share a folder
  ReservedName,       // CON, PRN, AUX, NUL, COM1..9, LPT1..9, with or without extension
  InvalidText,        // not valid UTF-8
  NotInSettingsFile,  // a character that the settings file's code page cannot hold (an emoji)
};

inline constexpr std::size_t kMaxInstanceNameLength = 50;

InstanceNameProblem CheckInstanceName(std::string_view name);

// A one-line explanation for the player, in Chinese.
std::string DescribeInstanceNameProblem(InstanceNameProblem problem);

// True when two names would be one folder where letter case does not count (Windows, where
// the settings file is shared): "Survival" and "survival".
bool NamesShareFolder(std::string_view a, std::string_view b);

}  // namespace kv
