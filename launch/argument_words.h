#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Splits extra Java arguments into words the way a shell does, without running one and
// without expanding anything (no variables, patterns or commands):
// - blanks (space, tab, line breaks) separate words;
// - single quotes keep everything up to the next single quote as it stands;
// - double quotes keep blanks and single quotes; inside them a backslash escapes '"' and '\';
// - outside quotes a backslash escapes a quote, a blank or a backslash, and stays as it is
//   before any other character, so Windows paths such as C:\game\x pass unchanged;
// - "" or '' is an empty word; an unclosed quote runs to the end of the text.
std::vector<std::string> SplitArgumentWords(std::string_view text);

}  // namespace kv
