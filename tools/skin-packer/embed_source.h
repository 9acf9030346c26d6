#pragma once

#include <string>

namespace kv::skin {

// Writes a C++ source file that defines `std::string_view kv::EmbeddedSkinZip()` over the
// bytes of the file at `dataPath`. Returns false and fills `error` on a read or write failure.
bool WriteEmbedSource(const std::string& dataPath, const std::string& sourcePath,
                      std::string& error);

}  // namespace kv::skin
