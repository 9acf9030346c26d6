#include "tools/skin-packer/embed_source.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace kv::skin {

bool WriteEmbedSource(const std::string& dataPath, const std::string& sourcePath,
                      std::string& error) {
  std::ifstream in(dataPath, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in && !in.eof()) {
    error = "cannot read " + dataPath;
    return false;
  }
  std::ofstream out(sourcePath, std::ios::binary | std::ios::trunc);
  if (!out) {
    error = "cannot create " + sourcePath;
    return false;
  }
  out << "// Generated at build time from the packed skin; do not edit.\n"
         "#include \"skin/embedded_skin.h\"\n\n"
         "namespace kv {\nnamespace {\n\n"
         "alignas(16) const unsigned char kSkinZip[] = {";
  char number[8];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % 20 == 0) out << "\n   ";
    std::snprintf(number, sizeof number, " %u,", static_cast<unsigned char>(bytes[i]));
    out << number;
  }
  // A zero-length array is not C++; an empty archive still gets one byte that the view leaves out.
  if (bytes.empty()) out << " 0";
  out << "\n};\n\n}  // namespace\n\n"
         "std::string_view EmbeddedSkinZip() {\n"
         "  return {reinterpret_cast<const char*>(kSkinZip), "
      << bytes.size()
      << "u};\n}\n\n}  // namespace kv\n";
  out.close();
  if (!out) {
    error = "cannot write " + sourcePath;
    return false;
  }
  return true;
}

}  // namespace kv::skin
