#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "util/result.h"

namespace kv {

// The bound of a file whose kind has none of its own.
inline constexpr std::int64_t kUnknownSizeLimit = std::int64_t{1} << 30;

// One planned download: a file of the game folder that is missing, and where to fetch it.
// Every member has a default, so that a plan names only what it knows ({.name = ..., ...}).
struct DownloadItem {
  // Shown while it downloads: a library's file name, the client jar's whole path, an asset's
  // logical name, "legacy.zip".
  std::string name{};
  // The local target.
  std::string path{};
  // Where the file can be fetched, tried in this order: a failed attempt moves on to the next
  // address at once (after the last, the first again, after a pause); the retry bound counts
  // the failures on all of them together.
  std::vector<std::string> urls{};
  // The file's length in bytes when the plan knows it, else -1: the answer's own length is then
  // taken. A known length is never asked of the server, and an answer that goes past it is
  // stopped there.
  std::int64_t size = -1;
  // When the plan gives no length: the most an answer may bring, the bound of the file's kind.
  // A longer announced length is refused, a longer body stopped where it passes the bound.
  std::int64_t sizeLimit = kUnknownSizeLimit;
  // The file's SHA-1 as 40 hex digits (either case); empty: not checked. A file that does not
  // match is removed (its partial file too) and fetched again, never put in place.
  std::string sha1{};
  // The file's SHA-512 as 128 hex digits; when given it is checked instead of the SHA-1, the
  // same way.
  std::string sha512{};
  // Unpacked after the download (native jars, the legacy archive).
  bool isArchive = false;
  // The file to unpack (the path) when isArchive, else empty.
  std::string archivePath{};
  // The path's folder, separator included, for libraries and the legacy archive; empty for the
  // client jar and asset objects. An archive is unpacked there.
  std::string extractFolder{};
  // Stored names that unpacking leaves out: an item whose name begins with one of these (a
  // native jar's "META-INF/", say) is not written.
  std::vector<std::string> extractExclude{};
};

// Whether a file that arrived whole, as far as its transfer can tell, is what it claims to be
// (an archive that opens, say). Asked of a file without a SHA-1 before it gets its final name;
// a failure discards the file, and its message says why.
using ContentCheck = std::function<Status(const DownloadItem& item, const std::string& file)>;

}  // namespace kv
