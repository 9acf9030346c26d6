#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/transfers.h"
#include "util/result.h"

// Fetching the game's documents (the version list, a version's description, an asset index)
// over the copies in the game folder. A copy is replaced only by a new one that is whole, within
// the bound of its kind, and the document it must be; otherwise the copy stays as it was.
namespace kv {

// What a fetched document must be, and how large it may grow.
struct DocumentRule {
  std::int64_t limit = 0;
  std::function<Status(std::string_view text)> check;
};

DocumentRule VersionListRule();
// The description of `versionId`: it must call itself that version.
DocumentRule VersionDescriptionRule(const std::string& versionId);
DocumentRule AssetIndexRule();

// Downloads `url` beside `localPath` and puts it in place when `rule` accepts it. The failure
// (the download's, TooLarge beyond the rule's bound, or the rule's) names what went wrong; it
// is also logged, with the copy that stays.
Status DownloadDocument(const std::string& localPath, const std::string& url, const DocumentRule& rule,
                        std::chrono::seconds connectTimeout = kConnectTimeout);

// Whether the file at `path` passes `rule`'s check (a missing or empty file does not).
Status CheckDocumentFile(const std::string& path, const DocumentRule& rule);

}  // namespace kv
