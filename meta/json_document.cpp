#include "meta/json_document.h"

#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <sstream>

namespace kv::json {
namespace {

// Deep enough for every published document, shallow enough for any thread's stack.
constexpr int kNestingLimit = 256;

std::unique_ptr<Json::CharReader> MakeReader() {
  Json::CharReaderBuilder builder;
  Json::Value& settings = builder.settings_;
  settings["collectComments"] = false;
  settings["allowComments"] = true;
  settings["allowTrailingCommas"] = true;
  settings["strictRoot"] = false;
  settings["allowDroppedNullPlaceholders"] = false;
  settings["allowNumericKeys"] = false;
  settings["allowSingleQuotes"] = false;
  settings["stackLimit"] = kNestingLimit;
  settings["failIfExtra"] = false;
  settings["rejectDupKeys"] = false;
  settings["allowSpecialFloats"] = false;
  settings["skipBom"] = true;
  return std::unique_ptr<Json::CharReader>(builder.newCharReader());
}

}  // namespace

bool ParseDocument(std::string_view text, Json::Value& root) {
  try {
    const std::unique_ptr<Json::CharReader> reader = MakeReader();
    return reader->parse(text.data(), text.data() + text.size(), &root, nullptr);
  } catch (const std::exception&) {
    // The reader throws when the nesting limit is exceeded.
    return false;
  }
}

namespace {

std::string Write(const Json::Value& root, const char* indentation) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = indentation;
  builder["emitUTF8"] = true;
  std::ostringstream out;
  std::unique_ptr<Json::StreamWriter>(builder.newStreamWriter())->write(root, &out);
  out << '\n';
  return out.str();
}

}  // namespace

std::string WriteDocument(const Json::Value& root) { return Write(root, "  "); }

std::string WriteCompactDocument(const Json::Value& root) { return Write(root, ""); }

const Json::Value& Member(const Json::Value& value, std::string_view key) {
  static const Json::Value kNull;
  if (!value.isObject()) return kNull;
  const Json::Value* found = value.find(key.data(), key.data() + key.size());
  return found ? *found : kNull;
}

const Json::Value& ArrayOrEmpty(const Json::Value& value) {
  static const Json::Value kEmpty(Json::arrayValue);
  return value.isArray() ? value : kEmpty;
}

std::string Text(const Json::Value& value) {
  if (value.isString()) {
    const char* begin = nullptr;
    const char* end = nullptr;
    value.getString(&begin, &end);
    return std::string(begin, end);
  }
  if (value.isBool()) return value.asBool() ? "true" : "false";
  return {};
}

std::int32_t Int32(const Json::Value& value) {
  switch (value.type()) {
    case Json::booleanValue:
      return value.asBool() ? 1 : 0;
    case Json::intValue:
    case Json::uintValue:
      return value.isInt() ? value.asInt() : 0;
    case Json::realValue: {
      const double whole = std::trunc(value.asDouble());
      if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
            whole <= std::numeric_limits<std::int32_t>::max())) {
        return 0;
      }
      return static_cast<std::int32_t>(whole);
    }
    default:
      return 0;
  }
}

std::int64_t Size(const Json::Value& value) {
  if (value.isUInt64() || value.isInt64()) {
    if (value.isInt64() && value.asInt64() >= 0) return value.asInt64();
    return -1;
  }
  if (value.isDouble()) {
    const double number = value.asDouble();
    // Below 2^63, so that the conversion is exact enough and defined.
    if (number >= 0 && number < 9.2e18 && std::trunc(number) == number) return static_cast<std::int64_t>(number);
  }
  return -1;
}

}  // namespace kv::json
