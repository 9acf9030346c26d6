#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Small file helpers shared by every layer. Paths are UTF-8.
namespace kv {

// True when the path names an existing file or folder. The path is taken literally: "*" and
// "?" are ordinary characters in a name here, never a pattern.
bool PathExists(std::string_view path);

// The length of a regular file in bytes; 0 when it is missing or cannot be opened, exactly as
// for an empty file. The download planner relies on that equivalence.
std::uint64_t GetFileSize(std::string_view path);

// The whole file, or nothing for an empty or unreadable file and for anything that is not a
// regular file (a folder, a device).
std::optional<std::string> ReadWholeFile(std::string_view path);

// Appends the folder part (with its trailing separator) to `folder` and the name with its
// extension to `name`. Both '/' and '\' separate.
void SplitPath(std::string_view path, std::string& folder, std::string& name);

// Creates every missing folder of the path's folder part. A file path gets its file's folder;
// a folder path needs a trailing separator for its last component to be created. Backslashes
// count as separators. Failures are left for the later file write to report.
bool MakeFoldersForPath(std::string_view path);

// The path that a write to `path` changes: the end of its chain of symbolic links, `path`
// itself when it is not a link.
std::string LinkTarget(const std::string& path);

// Writes `bytes` to `path` through a temporary file in the same folder and a rename, so that
// readers never see a half-written file. Returns false and leaves the old file on failure.
// The new file gets `mode` when given, else the replaced file's mode (0644 for a new file).
// When `path` is a symbolic link the file it leads to is replaced and the link stays.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::optional<unsigned> mode = std::nullopt);

}  // namespace kv
