#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>
#include <string_view>

// Reading the game's JSON documents without trusting them: every accessor accepts a value of
// any kind and never throws.
namespace kv::json {

// Parses the bytes with the classic reader's features (comments allowed, any value at the
// top, trailing text ignored) and a nesting limit, so that no document can exhaust the stack.
// False, with `root` unspecified, when the bytes are not JSON.
bool ParseDocument(std::string_view text, Json::Value& root);

// The value as indented UTF-8 JSON text (non-ASCII characters as they are), ending with a
// line break: the form in which the launcher and its tools write their documents.
std::string WriteDocument(const Json::Value& root);

// The same without indentation, for documents that can hold many thousand entries and that
// people rarely read: a third of the size, written and read again in less time.
std::string WriteCompactDocument(const Json::Value& root);

// The member `key` of an object; a null value when absent or when `value` is not an object.
const Json::Value& Member(const Json::Value& value, std::string_view key);

// `value` when it is an array, otherwise an empty array.
const Json::Value& ArrayOrEmpty(const Json::Value& value);

// A string's content, a boolean as "true"/"false", anything else (null, numbers, arrays,
// objects) empty.
std::string Text(const Json::Value& value);

// An integer in the signed 32-bit range as itself, a real number's integer part, a boolean as
// 0 or 1; anything else, and any value outside that range, 0.
std::int32_t Int32(const Json::Value& value);

// A whole number of bytes: a non-negative integer (or a real number without a fraction) up to
// the signed 64-bit range; -1 for anything else, a missing value included.
std::int64_t Size(const Json::Value& value);

}  // namespace kv::json
