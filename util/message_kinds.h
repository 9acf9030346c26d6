#pragma once

// The kinds of message the launcher shows (the colour of the message dialog), shared by the
// domain, which chooses a message, and the windows, which show it. The values are the
// message-box icon codes that the Windows build passes along.
namespace kv {

enum class MessageKind { Error = 16, Question = 32, Warning = 48, Information = 64 };

}  // namespace kv
