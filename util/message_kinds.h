#pragma once

// The kinds of message the launcher shows (the colour of the message dialog), shared by the
// domain, which chooses a message, and the windows, which show it.
namespace kv {

inline constexpr int kMessageError = 16;
inline constexpr int kMessageQuestion = 32;
inline constexpr int kMessageWarning = 48;
inline constexpr int kMessageInformation = 64;

}  // namespace kv
