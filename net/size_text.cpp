#include "net/size_text.h"

#include <cstdio>

#include "util/messages.h"

namespace kv {
namespace {

std::string ScaledText(const char* label, std::int64_t value, const char* suffix) {
  char text[128];
  if (value < 1024) {
    std::snprintf(text, sizeof text, "%s%lldB%s", label, static_cast<long long>(value), suffix);
  } else if (value <= 1048576) {
    std::snprintf(text, sizeof text, "%s%.2fKB%s", label, static_cast<double>(value) / 1024, suffix);
  } else {
    std::snprintf(text, sizeof text, "%s%.2fMB%s", label, static_cast<double>(value) / 1048576, suffix);
  }
  return text;
}

}  // namespace

std::string FileSizeText(std::int64_t bytes) { return ScaledText(msg::kFileSizeLabel, bytes, ""); }

std::string SpeedText(std::int64_t bytesPerSecond) { return ScaledText(msg::kSpeedLabel, bytesPerSecond, "/S"); }

}  // namespace kv
