#include "uilib/attribute_values.h"

namespace kv::ui {
namespace {

// Reads an optionally signed decimal number at `pos`, skipping leading blanks; advances `pos`.
std::optional<int> ReadNumber(const QString& text, qsizetype& pos) {
  while (pos < text.size() && text[pos].isSpace()) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  const qsizetype start = pos;
  long long value = 0;
  while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
    if (value < 100000000) value = value * 10 + (text[pos].unicode() - u'0');
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return static_cast<int>(negative ? -value : value);
}

std::vector<int> ReadNumbers(const QString& text, std::size_t count) {
  std::vector<int> numbers;
  qsizetype pos = 0;
  while (numbers.size() < count) {
    const std::optional<int> n = ReadNumber(text, pos);
    numbers.push_back(n.value_or(0));
    if (!n) break;
    while (pos < text.size() && text[pos].isSpace()) ++pos;
    if (pos >= text.size()) break;
    ++pos;  // the separator
  }
  numbers.resize(count, 0);
  return numbers;
}

}  // namespace

bool ParseBool(const QString& value) { return value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0; }

int ParseInt(const QString& value, int fallback) {
  qsizetype pos = 0;
  return ReadNumber(value, pos).value_or(fallback);
}

UiRect ParseRect(const QString& value) {
  const std::vector<int> n = ReadNumbers(value, 4);
  return {n[0], n[1], n[2], n[3]};
}

QSize ParseSize(const QString& value) {
  const std::vector<int> n = ReadNumbers(value, 2);
  return {n[0], n[1]};
}

ARGB ParseColor(const QString& value) {
  QString text = value.trimmed();
  if (text.startsWith(u'#')) text.remove(0, 1);
  if (text.startsWith(u"0x", Qt::CaseInsensitive)) text.remove(0, 2);
  ARGB color = 0;
  int digits = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    int nibble = -1;
    if (u >= u'0' && u <= u'9') nibble = u - u'0';
    else if (u >= u'a' && u <= u'f') nibble = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F') nibble = u - u'A' + 10;
    if (nibble < 0 || digits == 8) break;
    color = (color << 4) | static_cast<ARGB>(nibble);
    ++digits;
  }
  return color;
}

QColor ToQColor(ARGB color) {
  return QColor::fromRgb(static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                         static_cast<int>(color & 0xFF), static_cast<int>((color >> 24) & 0xFF));
}

std::vector<std::pair<QString, QString>> ParseAttributeList(const QString& list) {
  std::vector<std::pair<QString, QString>> pairs;
  qsizetype pos = 0;
  const qsizetype size = list.size();
  while (true) {
    while (pos < size && list[pos].isSpace()) ++pos;
    if (pos >= size) break;
    const qsizetype nameStart = pos;
    while (pos < size && list[pos] != u'=' && !list[pos].isSpace()) ++pos;
    const QString name = list.mid(nameStart, pos - nameStart);
    while (pos < size && list[pos].isSpace()) ++pos;
    if (name.isEmpty() || pos >= size || list[pos] != u'=') break;
    ++pos;
    while (pos < size && list[pos].isSpace()) ++pos;
    if (pos >= size || (list[pos] != u'"' && list[pos] != u'\'')) break;
    const QChar quote = list[pos++];
    const qsizetype valueStart = pos;
    while (pos < size && list[pos] != quote) ++pos;
    if (pos >= size) break;
    pairs.emplace_back(name, list.mid(valueStart, pos - valueStart));
    ++pos;
  }
  return pairs;
}

}  // namespace kv::ui
