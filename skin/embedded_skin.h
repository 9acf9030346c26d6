#pragma once

#include <string_view>

namespace kv {

// The skin archive built into the program: a zip holding the layouts as "xmls/<name>.xml" and
// the pictures as "image/<name>". The bytes live for the whole run of the program.
std::string_view EmbeddedSkinZip();

}  // namespace kv
