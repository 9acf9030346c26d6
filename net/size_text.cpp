#include "net/size_text.h"

#include <cstdio>

#include "util/messages.h"

namespace kv {
namespace {

std::string ScaledText(const char* label, std::int64_t value) {
  char text[128];
  if (value < 1024) {
    std::snprintf(text, sizeof text, "%s%lldB", label, static_cast<long long>(value));
  } else if (value <= 1048576) {
    std::snprintf(text, sizeof text, "%s%.2fKB", label, static_cast<double>(value) / 1024);
  } else {
    std::snprintf(text, sizeof text, "%s%.2fMB", label, static_cast<double>(value) / 1048576);
  }
  return text;
}

}  // namespace

std::string SizeText(std::int64_t bytes) { return ScaledText("", bytes); }

std::string FileSizeText(std::int64_t bytes) { return ScaledText(msg::kFileSizeLabel, bytes); }

std::string SpeedText(std::int64_t bytesPerSecond) {
  char text[128];
  if (bytesPerSecond <= 1048576) {
    std::snprintf(text, sizeof text, "%s%.2fKB/s", msg::kSpeedLabel, static_cast<double>(bytesPerSecond) / 1024);
  } else {
    std::snprintf(text, sizeof text, "%s%.2fMB/s", msg::kSpeedLabel, static_cast<double>(bytesPerSecond) / 1048576);
  }
  return text;
}

}  // namespace kv
