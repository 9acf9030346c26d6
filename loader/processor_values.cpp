#include "loader/processor_values.h"

#include "game/library_paths.h"

namespace kv {

ProcessorValues::ProcessorValues(std::string librariesPath, EntryExtractor extract)
    : libraries_(std::move(librariesPath)), extract_(std::move(extract)) {}

void ProcessorValues::Set(const std::string& key, std::string value) { values_[key] = std::move(value); }

Result<std::string> ProcessorValues::ArtifactPath(std::string_view coordinate) const {
  if (!IsSafeLibraryCoordinate(coordinate) || coordinate.find(':') == std::string_view::npos) {
    return Fail(FailureKind::Invalid, "[" + std::string(coordinate) + "]");
  }
  const std::string relative = MavenPath(coordinate);
  if (!IsSafeRelativePath(relative)) return Fail(FailureKind::Invalid, "[" + std::string(coordinate) + "]");
  return libraries_ + "/" + relative;
}

Status ProcessorValues::Define(const std::string& key, std::string_view raw) {
  if (raw.size() >= 2 && raw.front() == '[' && raw.back() == ']') {
    Result<std::string> path = ArtifactPath(raw.substr(1, raw.size() - 2));
    if (!path) return std::move(path).failure();
    values_[key] = std::move(*path);
  } else if (raw.size() >= 2 && raw.front() == '\'' && raw.back() == '\'') {
    values_[key] = std::string(raw.substr(1, raw.size() - 2));
  } else if (!raw.empty() && raw.front() == '/') {
    Result<std::string> path = extract_(std::string(raw.substr(1)));
    if (!path) return std::move(path).failure();
    values_[key] = std::move(*path);
  } else {
    values_[key] = std::string(raw);
  }
  return {};
}

Result<std::string> ProcessorValues::Resolve(std::string_view text) const {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') return ArtifactPath(text.substr(1, text.size() - 2));
  std::string resolved;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) {
      resolved.append(text.substr(at));
      break;
    }
    resolved.append(text.substr(at, open - at));
    const std::string_view key = text.substr(open + 1, close - open - 1);
    const auto value = values_.find(key);
    if (value == values_.end()) return Fail(FailureKind::Invalid, "{" + std::string(key) + "}");
    resolved.append(value->second);
    at = close + 1;
  }
  return resolved;
}

}  // namespace kv
