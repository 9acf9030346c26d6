#pragma once

#include <ostream>
#include <string_view>

// The kinds of message the launcher shows (the colour of the message dialog), shared by the
// domain, which chooses a message, and the windows, which show it. The values are the
// message-box icon codes that the Windows build passes along.
namespace kv {

enum class MessageKind { Error = 16, Question = 32, Warning = 48, Information = 64 };

// The kind's name as written here, for logs and test failures.
constexpr std::string_view MessageKindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::Error: return "Error";
    case MessageKind::Question: return "Question";
    case MessageKind::Warning: return "Warning";
    case MessageKind::Information: return "Information";
  }
  return "Unknown";
}

inline std::ostream& operator<<(std::ostream& out, MessageKind kind) { return out << MessageKindName(kind); }

}  // namespace kv
