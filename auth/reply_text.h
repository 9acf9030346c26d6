#pragma once

#include <json/json.h>

#include <string>

#include "meta/json_document.h"
#include "util/text.h"

// Texts read from an account service's replies, which are untrusted: a member of the wrong
// type reads as empty.
namespace kv {

// A text the player may read: control characters become '?'.
inline std::string ShownText(const Json::Value& object, const char* key) {
  return Printable(json::Text(json::Member(object, key)));
}

// A token or id, which goes on as it is onto command lines and into requests: one with a
// control character reads as empty.
inline std::string OpaqueText(const Json::Value& object, const char* key) {
  std::string text = json::Text(json::Member(object, key));
  return Printable(text) == text ? text : std::string();
}

}  // namespace kv
