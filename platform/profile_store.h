#pragma once

#include <optional>
#include <string>
#include <string_view>

// INI files with the behaviour of the Windows private-profile calls, which the settings file
// has always been read and written with:
// - section and key names compare without regard to ASCII case; the first match wins;
// - blanks around names and values are trimmed, and a value enclosed in matching quotes
//   loses them (a write encloses a value in double quotes where that would change it); a
//   read gives at most 259 UTF-16 units, as the Windows buffers hold;
// - a write replaces the key's line, or appends the key to its section, or appends the
//   section to the file; lines that are not touched are kept as they stand;
// - files in UTF-16LE (BOM), UTF-8 (BOM) and the ANSI code page are read, an existing file
//   keeps its encoding and line ends, and a new file is written in the ANSI code page.
//
// Every call is serialised across threads and, through an advisory lock beside the file,
// across processes, and a write replaces the file atomically. The file holds secrets, so a
// write leaves it readable by its owner only.
namespace kv::profile {

inline constexpr std::size_t kReadLimitUnits = 259;

std::string GetString(const std::string& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue);

// The value read as atoi reads it; `defaultValue` when the key is missing or empty.
int GetInt(const std::string& file, std::string_view section, std::string_view key,
           int defaultValue);

// Writes `value` under `key`; a null value deletes the key and a null key deletes the whole
// section. Returns false when the file could not be written (it is then unchanged) or when a
// name or value would break the file's line structure.
bool WriteString(const std::string& file, std::string_view section,
                 std::optional<std::string_view> key, std::optional<std::string_view> value);

inline bool DeleteSection(const std::string& file, std::string_view section) {
  return WriteString(file, section, std::nullopt, std::nullopt);
}

}  // namespace kv::profile
