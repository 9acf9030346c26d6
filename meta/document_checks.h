#pragma once

#include <string_view>

#include "util/result.h"

// Whether downloaded text is the document it was asked for, before it replaces a copy on disk.
// The readers of these documents take any JSON (a reader of what is on disk keeps going with
// what it finds); a download that no checksum vouches for must be the document itself, not a
// network's sign-in page or a server's error answered as a success. Failures are Invalid, or
// Mismatch for a description of another version, with a message naming what is wrong.
namespace kv {

// A JSON object whose "versions" is an array.
Status CheckVersionListDocument(std::string_view text);

// A JSON object whose "id" is `versionId`.
Status CheckVersionDescriptionDocument(std::string_view text, std::string_view versionId);

// A JSON object whose "objects" is an object.
Status CheckAssetIndexDocument(std::string_view text);

}  // namespace kv
