#pragma once

#include <string>
#include <string_view>

// Putting names into addresses. Version ids, index ids and library paths come from documents
// and players: a blank, a "#" or a "?" in them must stay part of the name on the way to the
// server.
namespace kv {

// Every byte except the unreserved characters (letters, digits, "-", ".", "_", "~") and those
// in `keep` as %XX with upper-case hex digits.
std::string PercentEncode(std::string_view text, std::string_view keep = {});

// One path segment of an address: "/" is encoded too.
inline std::string EncodePathSegment(std::string_view segment) { return PercentEncode(segment); }

// A relative path of several segments: each segment encoded, the "/" between them kept.
inline std::string EncodePath(std::string_view path) { return PercentEncode(path, "/"); }

}  // namespace kv
