#include "crash/log_text.h"

#include <fstream>

#include "crash/log4j_events.h"
#include "util/messages.h"
#include "util/text.h"

namespace kv {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr unsigned kCodePageUtf16Be = 1201;

std::string Unicode(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  else if (bytes.starts_with(kUtf16LeBom)) return ToWide(bytes.substr(kUtf16LeBom.size()), kCodePageUtf16Le);
  else if (bytes.starts_with(kUtf16BeBom)) return ToWide(bytes.substr(kUtf16BeBom.size()), kCodePageUtf16Be);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return ToWide(bytes, kCodePageGbk);
}

std::string WithNewlines(const std::string& text) {
  if (text.find('\r') == std::string::npos) return text;
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      lines += text[i];
    } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
      lines += '\n';
    }
  }
  return lines;
}

}  // namespace

std::string DecodeLogText(std::string_view bytes) {
  std::string text = WithNewlines(Unicode(bytes));
  if (ContainsLog4jEvents(text)) return Log4jEventsToText(text);
  return text;
}

Result<std::string> ReadLogFile(const std::string& path, std::size_t maxBytes) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return Fail(FailureKind::NotFound, msg::FileNotReadable(path));
  const std::streamoff size = file.tellg();
  if (size < 0) return Fail(FailureKind::Io, msg::FileNotReadable(path));
  const std::streamoff start = size > static_cast<std::streamoff>(maxBytes) ? size - static_cast<std::streamoff>(maxBytes) : 0;
  std::string bytes(static_cast<std::size_t>(size - start), '\0');
  file.seekg(start);
  if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    return Fail(FailureKind::Io, msg::FileNotReadable(path));
  }
  // A cut in the middle of a line (or a character) would only mislead.
  if (start > 0) {
    const std::size_t lineEnd = bytes.find('\n');
    bytes.erase(0, lineEnd == std::string::npos ? bytes.size() : lineEnd + 1);
  }
  return bytes;
}

}  // namespace kv
