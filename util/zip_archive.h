#pragma once

#include <cstddef>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

// Reading a zip archive (a jar, an installer, a native library jar, a skin) through minizip,
// from a file or from memory. The archive stays open for as long as the object lives and is
// closed with it. Entry names come from the archive, which
// may be anyone's: SafeEntryName decides whether a name may become a path below a folder.
namespace kv {

// The entry's name as a relative path with '/' separators; nothing for a name that is empty,
// absolute, names a drive, or has an empty, "." or ".." segment (a folder's trailing '/' is
// allowed and kept).
std::optional<std::string> SafeEntryName(std::string_view name);

class ZipArchive {
 public:
  static Result<ZipArchive> Open(const std::string& path);
  // An archive held in memory; `label` names it in messages.
  static Result<ZipArchive> OpenBytes(std::string bytes, const std::string& label);

  ZipArchive(ZipArchive&&) noexcept;
  ZipArchive& operator=(ZipArchive&&) noexcept;
  ~ZipArchive();

  // Every entry's name as stored, in the archive's order; an entry's place in this list is
  // its index. A name may be stored more than once: by name, the first such entry is meant.
  const std::vector<std::string>& EntryNames() const { return names_; }
  bool Contains(std::string_view name) const;
  // Whether the entry was stored as a symbolic link (made on a Unix system): its bytes are
  // where the link points, not a file's contents.
  bool IsLink(std::string_view name) const;

  // When the entry was last changed (the archive keeps local wall-clock time); nothing when
  // the stored date is no real date.
  std::optional<std::time_t> ModifiedTime(std::size_t index) const;

  // The entry's bytes, inflated; TooLarge beyond `maxBytes`, NotFound when there is no such
  // entry, Invalid when it cannot be inflated or holds other than its stored size.
  Result<std::string> Read(std::string_view name, std::size_t maxBytes) const;
  Result<std::string> ReadAt(std::size_t index, std::size_t maxBytes) const;

  // Inflates the entry into the file `path` (its folders made) through a temporary file, so
  // that a failure leaves no partial file; a link planted at either name is replaced, never
  // followed.
  Status Extract(std::string_view name, const std::string& path) const;
  Status ExtractAt(std::size_t index, const std::string& path) const;

 private:
  struct Handle;
  explicit ZipArchive(std::unique_ptr<Handle> handle);
  static Result<ZipArchive> ReadDirectory(std::unique_ptr<Handle> handle);
  std::optional<std::size_t> IndexOf(std::string_view name) const;
  // Makes the entry at `index` the one the next inflating reads.
  Status GoToEntry(std::size_t index) const;

  std::unique_ptr<Handle> handle_;
  std::vector<std::string> names_;
  std::vector<std::string> links_;
};

}  // namespace kv
