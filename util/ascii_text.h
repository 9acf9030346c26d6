#pragma once

#include <string>
#include <string_view>

// Small text helpers over ASCII: keys, schemes, file extensions and version words are ASCII, so
// these never touch the bytes of other characters (a UTF-8 name passes through unchanged).
namespace kv {

// True when `text` holds a C0 control character or DEL.
bool HasControlCharacter(std::string_view text);

// `text` without the spaces, tabs and line ends at either end.
std::string Trim(std::string_view text);

// `text` with A-Z as a-z.
std::string AsciiLower(std::string_view text);

// Equality and prefix tests that ignore the case of A-Z.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// What follows the last '.' of the file name at the end of `path`, in lower case; empty when
// the name has no dot.
std::string LowerExtension(std::string_view path);

}  // namespace kv
