#include "util/file_names.h"

#include "util/text.h"

namespace kv {

bool IsPlainFileName(std::string_view name) {
  constexpr std::size_t kMaxNameBytes = 255;
  if (name.empty() || name.size() > kMaxNameBytes || !IsValidUtf8(name)) return false;
  if (name.front() == '.' || name.front() == ' ' || name.back() == ' ' || name.back() == '.') return false;
  for (const char ch : name) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20 || byte == 0x7F) return false;
    if (std::string_view("/\\<>:\"|?*").find(ch) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace kv
