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

// The text as UTF-8, in place when it is UTF-8 already: a log may be tens of megabytes.
void ToUnicode(std::string& bytes) {
  const std::string_view view(bytes);
  if (view.starts_with(kUtf8Bom)) bytes.erase(0, kUtf8Bom.size());
  else if (view.starts_with(kUtf16LeBom)) bytes = ToWide(view.substr(kUtf16LeBom.size()), kCodePageUtf16Le);
  else if (view.starts_with(kUtf16BeBom)) bytes = ToWide(view.substr(kUtf16BeBom.size()), kCodePageUtf16Be);
  else if (!IsValidUtf8(view)) bytes = ToWide(view, kCodePageGbk);
}

void EndLinesWithNewline(std::string& text) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') text[kept++] = text[i];
    else if (i + 1 >= text.size() || text[i + 1] != '\n') text[kept++] = '\n';
  }
  text.resize(kept);
}

}  // namespace

std::string DecodeLogText(std::string bytes) {
  ToUnicode(bytes);
  EndLinesWithNewline(bytes);
  if (ContainsLog4jEvents(bytes)) return Log4jEventsToText(bytes);
  return bytes;
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
