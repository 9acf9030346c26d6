#include "meta/document_checks.h"

#include <string>

#include "meta/json_document.h"
#include "util/messages.h"

namespace kv {
namespace {

// The document's top-level object, or the failure naming `what`.
Result<Json::Value> ParseObject(std::string_view text, const std::string& what) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) {
    return Fail(FailureKind::Invalid, msg::DocumentNotJson(what));
  }
  return root;
}

// A JSON object whose `member` is a value of `type`.
Status CheckObjectWith(std::string_view text, const std::string& what, const char* member, Json::ValueType type) {
  Result<Json::Value> root = ParseObject(text, what);
  if (!root) return std::move(root).failure();
  if (json::Member(*root, member).type() != type) return Fail(FailureKind::Invalid, msg::DocumentLacks(what, member));
  return {};
}

}  // namespace

Status CheckVersionListDocument(std::string_view text) {
  return CheckObjectWith(text, msg::kVersionListDocument, "versions", Json::arrayValue);
}

Status CheckVersionDescriptionDocument(std::string_view text, std::string_view versionId) {
  const std::string version(versionId);
  Result<Json::Value> root = ParseObject(text, msg::VersionDescriptionDocument(version));
  if (!root) return std::move(root).failure();
  const Json::Value& id = json::Member(*root, "id");
  if (!id.isString()) {
    return Fail(FailureKind::Invalid, msg::DocumentLacks(msg::VersionDescriptionDocument(version), "id"));
  }
  if (id.asString() != versionId) {
    return Fail(FailureKind::Mismatch, msg::DescriptionNamesAnotherVersion(version, id.asString()));
  }
  return {};
}

Status CheckAssetIndexDocument(std::string_view text) {
  return CheckObjectWith(text, msg::kAssetIndexDocument, "objects", Json::objectValue);
}

}  // namespace kv
