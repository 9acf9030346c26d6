#include "install/document_download.h"

#include <filesystem>
#include <system_error>

#include "install/download_limits.h"
#include "meta/document_checks.h"
#include "platform/diagnostic_log.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

DocumentRule VersionListRule() { return {kVersionListLimit, CheckVersionListDocument}; }

DocumentRule VersionDescriptionRule(const std::string& versionId) {
  return {kVersionDescriptionLimit,
          [versionId](std::string_view text) { return CheckVersionDescriptionDocument(text, versionId); }};
}

DocumentRule AssetIndexRule() { return {kAssetIndexLimit, CheckAssetIndexDocument}; }

Status CheckDocumentFile(const std::string& path, const DocumentRule& rule) {
  // An empty or unreadable file is no document either: the check says so in its words.
  return rule.check ? rule.check(ReadWholeFile(path).value_or(std::string())) : Status();
}

Status DownloadDocument(const std::string& localPath, const std::string& url, const DocumentRule& rule,
                        std::chrono::seconds connectTimeout) {
  // The answer waits beside the copy until it has been checked.
  const std::string staging = localPath + ".download";
  Status fetched = DownloadToFile(staging, url, connectTimeout, static_cast<std::uint64_t>(rule.limit));
  if (fetched) fetched = CheckDocumentFile(staging, rule);
  std::error_code error;
  if (fetched) {
    std::filesystem::rename(staging, localPath, error);
    if (!error) return fetched;
    fetched = Fail(FailureKind::Io, msg::FileNotWritten(localPath));
  }
  std::filesystem::remove(staging, error);
  LogLine(LogLevel::Warning, msg::DocumentNotReplaced(localPath, fetched.message()));
  return fetched;
}

}  // namespace kv
