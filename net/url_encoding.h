#pragma once

#include <optional>
#include <string>
#include <string_view>

// Putting names into addresses, and reading addresses that come from outside. Version ids,
// index ids and library paths come from documents and players: a blank, a "#" or a "?" in them
// must stay part of the name on the way to the server. Addresses from players, links and
// servers are read by libcurl's own parser, never by hand.
namespace kv {

// Every byte except the unreserved characters (letters, digits, "-", ".", "_", "~") and those
// in `keep` as %XX with upper-case hex digits.
std::string PercentEncode(std::string_view text, std::string_view keep = {});

// One path segment of an address: "/" is encoded too.
inline std::string EncodePathSegment(std::string_view segment) { return PercentEncode(segment); }

// A relative path of several segments: each segment encoded, the "/" between them kept.
inline std::string EncodePath(std::string_view path) { return PercentEncode(path, "/"); }

// The bytes `text` stands for, each %XX (either case) decoded. Nothing when a "%" is not
// followed by two hex digits: a damaged text is refused, never half read.
std::optional<std::string> PercentDecode(std::string_view text);

// Whether `address` is a whole http or https address with a host.
bool IsWebAddress(const std::string& address);
// Whether `address` is a whole https address with a host.
bool IsHttpsAddress(const std::string& address);

// `reference`, an absolute address or one relative to `base` ("/api/", "../x"), as a whole
// address; nothing when either cannot be read.
std::optional<std::string> ResolveAddress(const std::string& base, const std::string& reference);

// The address without the slashes at its end, for comparing addresses that differ only there.
std::string WithoutTrailingSlash(std::string address);

}  // namespace kv
