#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// INI files with the behaviour of the Windows private-profile calls, which the settings file
// has always been read and written with:
// - section and key names compare without regard to ASCII case; the first match wins;
// - blanks around names and values are trimmed, and a value enclosed in matching quotes
//   loses them (a write encloses a value in double quotes where that would change it);
//   values are read whole (the Windows build reads at most 259 UTF-16 units: every value that
//   fits stays readable there, and longer ones, such as account tokens, come back whole here);
// - a write replaces the key's line, or appends the key to its section, or appends the
//   section to the file; lines that are not touched, and lines whose value the write leaves
//   reading the same, keep their bytes exactly;
// - files in UTF-16LE (BOM), UTF-8 (with or without BOM: a file whose characters of three or
//   four bytes, as Chinese text has, outnumber its bytes that are not UTF-8 is UTF-8) and the
//   ANSI code page are read; an existing file keeps its encoding and line ends, a new file is
//   in the ANSI code page;
// - a file that is a symbolic link stays one: the file it leads to is written.
//
// Every call is serialised across threads and, through an advisory lock beside the file,
// across processes, and a write replaces the file atomically. The file holds secrets, so a
// write leaves it readable by its owner only.
namespace kv::profile {

std::string GetString(const std::string& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue);

// The value read as atoi reads it; `defaultValue` when the key is missing or empty.
int GetInt(const std::string& file, std::string_view section, std::string_view key,
           int defaultValue);

// Writes `value` under `key`; a null value deletes the key and a null key deletes the whole
// section. Returns false, with the file unchanged, when it could not be written, when a name
// or value would break the file's line structure, or when the file's encoding cannot hold a
// name or value (an emoji in a file of the ANSI code page).
bool WriteString(const std::string& file, std::string_view section,
                 std::optional<std::string_view> key, std::optional<std::string_view> value);

// Several writes made at once: the file is replaced once, with all of them or, when one is
// refused or the file cannot be written, with none.
struct Write {
  std::string_view section;
  std::optional<std::string_view> key;
  std::optional<std::string_view> value;
};
bool WriteStrings(const std::string& file, const std::vector<Write>& writes);

// The value of a write that removes the key instead of storing an empty text, for keys that a
// file need not hold until they are set.
inline std::optional<std::string_view> ValueUnlessEmpty(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

// True when a write of `text` to the file would keep every character: always for a UTF-8 or
// UTF-16 file, only for text of the ANSI code page otherwise (a new file included).
bool CanHold(const std::string& file, std::string_view text);

inline bool DeleteSection(const std::string& file, std::string_view section) {
  return WriteString(file, section, std::nullopt, std::nullopt);
}

}  // namespace kv::profile
