#pragma once

#include <cstdint>

// How large a download of each kind may grow when nothing gives its size beforehand (no size in
// the plan, or a document that no list describes). Each bound is many times the largest real
// file of its kind, so that only an answer that is not the file (an endless or runaway one)
// ever meets it.
namespace kv {

inline constexpr std::int64_t kMiB = std::int64_t{1} << 20;

// The publisher's version list is well under 1 MiB.
inline constexpr std::int64_t kVersionListLimit = 16 * kMiB;
// A version's description: tens of KiB, a loader's hardly more.
inline constexpr std::int64_t kVersionDescriptionLimit = 8 * kMiB;
// An asset index: the largest are a few MiB.
inline constexpr std::int64_t kAssetIndexLimit = 64 * kMiB;
// A library jar: the largest are tens of MiB.
inline constexpr std::int64_t kLibraryLimit = 512 * kMiB;
// A client jar: a few tens of MiB.
inline constexpr std::int64_t kClientJarLimit = 512 * kMiB;
// An asset object: the longest pieces of music are some MiB.
inline constexpr std::int64_t kAssetObjectLimit = 256 * kMiB;
// The legacy asset archive: every asset of an old version in one file.
inline constexpr std::int64_t kLegacyArchiveLimit = 1024 * kMiB;
// A log configuration: a few KiB of XML.
inline constexpr std::int64_t kLogConfigLimit = 1 * kMiB;

}  // namespace kv
