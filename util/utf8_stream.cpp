#include "util/utf8_stream.h"

#include "util/text.h"

namespace kv {
namespace {

// Length of the sequence a lead byte starts; 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Where a possibly incomplete last character starts, or text.size() when the text ends on a
// character boundary.
std::size_t IncompleteTail(std::string_view text) {
  std::size_t back = 0;
  while (back < 3 && back < text.size()) {
    auto c = static_cast<unsigned char>(text[text.size() - 1 - back]);
    if ((c & 0xC0) != 0x80) {
      std::size_t need = SequenceLength(c);
      return need > back + 1 ? text.size() - 1 - back : text.size();
    }
    ++back;
  }
  return text.size();
}

}  // namespace

std::string Utf8StreamDecoder::Feed(std::string_view bytes) {
  pending_.append(bytes);
  std::size_t cut = IncompleteTail(pending_);
  std::string complete = ToWide(std::string_view(pending_).substr(0, cut), kCodePageUtf8);
  pending_.erase(0, cut);
  return complete;
}

std::string Utf8StreamDecoder::Finish() {
  std::string rest = pending_.empty() ? std::string() : ToWide(pending_, kCodePageUtf8);
  pending_.clear();
  return rest;
}

}  // namespace kv
