#include "util/leading_int.h"

#include <algorithm>
#include <climits>

namespace kv {

int ReadLeadingInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  long long number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = std::min<long long>(number * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  return static_cast<int>(std::clamp<long long>(negative ? -number : number, INT_MIN, INT_MAX));
}

}  // namespace kv
