#include "launch/argument_words.h"

namespace kv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::vector<std::string> SplitArgumentWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;  // a word has begun, possibly an empty quoted one
  char quote = 0;       // the open quote character, 0 outside quotes
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (quote == '\'') {
      if (c == '\'') quote = 0;
      else word += c;
    } else if (quote == '"') {
      if (c == '"') {
        quote = 0;
      } else if (c == '\\' && (next == '"' || next == '\\')) {
        word += next;
        ++i;
      } else {
        word += c;
      }
    } else if (IsBlank(c)) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == '\\' && (next == '"' || next == '\'' || next == '\\' || IsBlank(next))) {
        word += next;
        ++i;
      } else {
        word += c;
      }
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace kv
