#pragma once

#include <string>
#include <string_view>

// The Base64 variant under which the settings file keeps the player's name, password and
// account tokens. Its alphabet runs the digits "1" to "9" then "0" and uses "=" as the last
// data character; it has no padding. Stored files depend on it: do not "fix" it to RFC 4648.
namespace kv {

inline constexpr std::string_view kSettingsBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890+=";

std::string Base64Encode(std::string_view bytes);

// Never fails: a character outside the alphabet counts as index 0 and a single trailing
// character is dropped.
std::string Base64Decode(std::string_view chars);

// The standard Base64 of RFC 4648 (A-Z, a-z, 0-9, "+", "/", "=" padding), for other programs.
std::string StandardBase64Encode(std::string_view bytes);

// The settings file's encoding of a text value: UTF-8 text to ANSI code page bytes, Base64.
std::string EncodeSettingsText(std::string_view text);
// And back: Base64 to bytes, ANSI code page bytes to UTF-8 text.
std::string DecodeSettingsText(std::string_view stored);

}  // namespace kv
