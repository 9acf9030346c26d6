#pragma once

#include <string_view>

namespace kv {

// True when `name` is one ordinary file name that is safe on every system the launcher runs
// on: not empty, at most 255 bytes of valid UTF-8, no separator ("/", "\"), not "." or "..",
// not starting with a dot, no control characters, none of < > : " | ? * (Windows refuses
// them), no leading blank and no trailing blank or dot (Windows drops them). A name from the
// network that passes can be joined to a folder without leaving it.
bool IsPlainFileName(std::string_view name);

}  // namespace kv
