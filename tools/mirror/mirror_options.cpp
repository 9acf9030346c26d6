#include "tools/mirror/mirror_options.h"

#include <charconv>

namespace kv::mirror {
namespace {

template <typename Number>
bool ReadNumber(const std::string& text, Number& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// "PATH=VALUE", split at the last "=" (paths may hold "=").
bool SplitAssignment(const std::string& text, std::string& path, std::string& value) {
  std::size_t equals = text.rfind('=');
  if (equals == std::string::npos || equals == 0) return false;
  path = text.substr(0, equals);
  value = text.substr(equals + 1);
  return true;
}

}  // namespace

std::optional<std::string> ParseMirrorOptions(const std::vector<std::string>& args, MirrorOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) return "missing value after " + name;
    const std::string& value = args[++i];
    std::string path;
    std::string number;
    if (name == "--root") {
      options.root = value;
    } else if (name == "--port") {
      if (!ReadNumber(value, options.port) || options.port < 0 || options.port > 65535) {
        return "bad port: " + value;
      }
    } else if (name == "--bind") {
      options.bindAddress = value;
    } else if (name == "--drop" || name == "--stall") {
      DropFault fault;
      if (!SplitAssignment(value, fault.path, number) || !ReadNumber(number, fault.afterBytes)) {
        return "bad " + name + " (PATH=BYTES): " + value;
      }
      (name == "--drop" ? options.drops : options.stalls).push_back(fault);
    } else if (name == "--cut" || name == "--extra") {
      LengthFault fault;
      if (!SplitAssignment(value, fault.path, number) || !ReadNumber(number, fault.bytes)) {
        return "bad " + name + " (PATH=BYTES): " + value;
      }
      (name == "--cut" ? options.cuts : options.extras).push_back(fault);
    } else if (name == "--status") {
      StatusFault fault;
      if (!SplitAssignment(value, fault.path, number)) return "bad --status (PATH=CODE[,TIMES]): " + value;
      std::size_t comma = number.find(',');
      std::string code = number.substr(0, comma);
      if (!ReadNumber(code, fault.status) || fault.status < 100 || fault.status > 599 ||
          (comma != std::string::npos && (!ReadNumber(number.substr(comma + 1), fault.times) || fault.times < 0))) {
        return "bad --status (PATH=CODE[,TIMES]): " + value;
      }
      options.statuses.push_back(fault);
    } else if (name == "--no-length") {
      options.withoutLength.push_back(value);
    } else if (name == "--no-ranges") {
      options.withoutRanges.push_back(value);
    } else if (name == "--empty-head") {
      options.emptyHeads.push_back(value);
    } else if (name == "--delay") {
      if (!ReadNumber(value, options.delayMilliseconds) || options.delayMilliseconds < 0) {
        return "bad --delay: " + value;
      }
    } else if (name == "--rate") {
      if (!ReadNumber(value, options.bytesPerSecond)) return "bad --rate: " + value;
    } else {
      return "unknown option " + name;
    }
  }
  if (options.root.empty()) return "--root FOLDER is required";
  return std::nullopt;
}

}  // namespace kv::mirror
