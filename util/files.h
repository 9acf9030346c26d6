#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "util/result.h"

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

// Writes `bytes` to `path` through a temporary file in the same folder and a rename, so that
// readers never see a half-written file. Returns false and leaves the old file on failure.
// The new file gets `mode` when given, else the replaced file's mode (0644 for a new file).
// A symbolic link at `path` is replaced by the new file: the write never reaches the file the
// link leads to.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::optional<unsigned> mode = std::nullopt);

// As WriteFileAtomically, except that a symbolic link at `path` stays and the file at the end
// of its chain is replaced. Only for the one file a player links on purpose, the settings file.
bool WriteFileThroughLink(const std::string& path, std::string_view bytes,
                          std::optional<unsigned> mode = std::nullopt);

// Copies `from` to `to` the way WriteFileAtomically writes: through a temporary file, a link
// at `to` replaced and never followed. Not synced to the disk: a copy can be made again.
bool CopyFileAtomically(const std::string& from, const std::string& to);

// How OpenFileForWriting treats what is already in the file.
enum class WriteStart { Truncate, Append, Keep };

// Opens `path` for writing (made with `mode` when missing). A symbolic link in its place is
// removed first, so that the file is made there and the link's target stays untouched; a
// folder, a device or a pipe is refused, never waited on. -1 with errno set when it fails.
int OpenFileForWriting(const std::string& path, WriteStart start, unsigned mode = 0644);
// The same as a stream, binary; nullptr when it fails.
std::FILE* OpenStreamForWriting(const std::string& path, WriteStart start);

// Refuses a write to `path` that a symbolic link would carry out of `root`: every folder
// between `root` and the file that exists already must be a real folder, not a link. `root`
// itself may be a link (the player put that folder elsewhere); `path` must name something
// below it in plain text, without ".." steps. A folder path ends in a separator.
Status CheckNoLinkBetween(const std::string& root, const std::string& path);

}  // namespace kv
