#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

// Reading a zip archive (a jar, an installer) through minizip. The archive stays open for as
// long as the object lives and is closed with it. Entry names come from the archive, which
// may be anyone's: SafeEntryName decides whether a name may become a path below a folder.
namespace kv {

// The entry's name as a relative path with '/' separators; nothing for a name that is empty,
// absolute, names a drive, or has an empty, "." or ".." segment (a folder's trailing '/' is
// allowed and kept).
std::optional<std::string> SafeEntryName(std::string_view name);

class ZipArchive {
 public:
  static Result<ZipArchive> Open(const std::string& path);

  ZipArchive(ZipArchive&&) noexcept;
  ZipArchive& operator=(ZipArchive&&) noexcept;
  ~ZipArchive();

  // Every entry's name as stored, in the archive's order.
  const std::vector<std::string>& EntryNames() const { return names_; }
  bool Contains(std::string_view name) const;

  // The entry's bytes, inflated; TooLarge beyond `maxBytes`, NotFound when there is no such
  // entry, Invalid when it cannot be inflated.
  Result<std::string> Read(std::string_view name, std::size_t maxBytes) const;

  // Inflates the entry into the file `path` (its folders made) through a temporary file, so
  // that a failure leaves no partial file.
  Status Extract(std::string_view name, const std::string& path) const;

 private:
  struct Handle;
  explicit ZipArchive(std::unique_ptr<Handle> handle);

  std::unique_ptr<Handle> handle_;
  std::vector<std::string> names_;
};

}  // namespace kv
