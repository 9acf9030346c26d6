#pragma once

#include "tools/skin-painter/picture_set.h"

#include <string>

namespace kv::skin {

// Writes `animation` as a GIF89a that loops forever, through giflib. Frames must be opaque and
// of one size. Returns false and fills `error` on failure.
bool WriteGif(const Animation& animation, const std::string& path, std::string& error);

}  // namespace kv::skin
