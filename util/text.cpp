#include "util/text.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

namespace kv {
namespace {

std::atomic<unsigned> g_ansiCodePage{kCodePageGbk};

std::string IconvName(unsigned codePage) {
  if (codePage == kCodePageAnsi || codePage == kCodePageThreadAnsi) {
    codePage = g_ansiCodePage.load();
  }
  switch (codePage) {
    case kCodePageUtf8: return "UTF-8";
    case kCodePageUtf16Le: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    default: return "CP" + std::to_string(codePage);
  }
}

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

// iconv_open is costly next to converting a short text, so each thread keeps its descriptors.
iconv_t Descriptor(const std::string& from, const std::string& to) {
  thread_local std::map<std::pair<std::string, std::string>, IconvHandle> cache;
  auto key = std::make_pair(from, to);
  auto found = cache.find(key);
  if (found != cache.end()) {
    iconv_t cd = static_cast<iconv_t>(found->second.get());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return cd;
  }
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
  cache.emplace(key, IconvHandle(cd));
  return cd;
}

// Length of the undecodable unit at the start of `in` in encoding `from`, so that one bad
// character yields one replacement instead of one per byte.
std::size_t BadUnitLength(std::string_view in, const std::string& from) {
  if (in.empty()) return 0;
  if (from == "UTF-16LE" || from == "UTF-16BE") {
    return in.size() >= 2 ? 2 : in.size();
  }
  if (from == "UTF-8") {
    auto lead = static_cast<unsigned char>(in[0]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t taken = 1;
    while (taken < length && taken < in.size() &&
           (static_cast<unsigned char>(in[taken]) & 0xC0) == 0x80) {
      ++taken;
    }
    return taken;
  }
  return 1;
}

std::string Convert(std::string_view in, const std::string& from, const std::string& to,
                    std::string_view replacement) {
  if (in.empty()) return {};
  iconv_t cd = Descriptor(from, to);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return std::string(replacement);
  }
  std::string out;
  out.resize(in.size() * 4 + 16);
  std::size_t written = 0;
  std::size_t consumed = 0;
  while (consumed < in.size()) {
    char* inPtr = const_cast<char*>(in.data() + consumed);
    std::size_t inLeft = in.size() - consumed;
    char* outPtr = out.data() + written;
    std::size_t outLeft = out.size() - written;
    std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    int error = errno;
    consumed = in.size() - inLeft;
    written = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: an invalid, unrepresentable or truncated character.
    if (out.size() - written < replacement.size()) out.resize(out.size() * 2 + replacement.size());
    out.replace(written, replacement.size(), replacement);
    written += replacement.size();
    consumed += BadUnitLength(in.substr(consumed), from);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(written);
  return out;
}

}  // namespace

unsigned AnsiCodePage() { return g_ansiCodePage.load(); }

void SetAnsiCodePage(unsigned codePage) { g_ansiCodePage.store(codePage); }

std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  auto c = static_cast<unsigned char>(text[at]);
  std::size_t length;
  std::uint32_t point;
  if (c < 0x80) {
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    length = 2;
    point = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    length = 3;
    point = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    length = 4;
    point = c & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    point = (point << 6) | (next & 0x3F);
  }
  static constexpr std::uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (point < kMinimum[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8CharacterLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string Printable(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8CharacterLength(text, i);
    const auto first = static_cast<unsigned char>(text[i]);
    // C0 and DEL are one byte; C1 (U+0080 to U+009F) is C2 80 to C2 9F.
    const bool control = (length == 1 && (first < 0x20 || first == 0x7F)) ||
                         (length == 2 && first == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F);
    if (length == 0 || control) {
      shown += '?';
      i += length == 0 ? 1 : length;
      continue;
    }
    shown.append(text.substr(i, length));
    i += length;
  }
  return shown;
}

std::string ToWide(std::string_view narrow, unsigned codePage) {
  std::string from = IconvName(codePage);
  if (from == "UTF-8" && IsValidUtf8(narrow)) return std::string(narrow);
  return Convert(narrow, from, "UTF-8", "\xEF\xBF\xBD");
}

std::string ToNarrow(std::string_view wide, unsigned codePage) {
  std::string to = IconvName(codePage);
  if (to == "UTF-8" && IsValidUtf8(wide)) return std::string(wide);
  std::string replacement = to == "UTF-16LE" ? std::string("?\0", 2)
                            : to == "UTF-16BE" ? std::string("\0?", 2)
                                               : std::string("?");
  return Convert(wide, "UTF-8", to, replacement);
}

std::size_t CountCodePoints(std::string_view utf8) {
  std::size_t count = 0;
  for (char ch : utf8) {
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string ToUpperCase(std::string_view utf8) {
  // The C library's Unicode tables; without them (no C.UTF-8 locale) only ASCII changes case.
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  std::string units = Convert(utf8, "UTF-8", "UTF-32LE", std::string_view("\xFD\xFF\0\0", 4));
  for (std::size_t i = 0; i + 4 <= units.size(); i += 4) {
    std::uint32_t point = 0;
    for (int k = 3; k >= 0; --k) point = (point << 8) | static_cast<unsigned char>(units[i + static_cast<std::size_t>(k)]);
    std::uint32_t upper = point;
    if (unicode) upper = static_cast<std::uint32_t>(towupper_l(static_cast<wint_t>(point), unicode));
    else if (point >= 'a' && point <= 'z') upper = point - ('a' - 'A');
    for (int k = 0; k < 4; ++k) units[i + static_cast<std::size_t>(k)] = static_cast<char>((upper >> (8 * k)) & 0xFF);
  }
  return Convert(units, "UTF-32LE", "UTF-8", "\xEF\xBF\xBD");
}

}  // namespace kv
