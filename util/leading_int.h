#pragma once

#include <string_view>

namespace kv {

// The number at the start of `text` as atoi reads it (leading white space skipped, an optional
// sign, digits up to the first other character, 0 when there are none), except that a number
// outside the int range gives the nearest end of it instead of undefined behaviour.
int ReadLeadingInt(std::string_view text);

}  // namespace kv
