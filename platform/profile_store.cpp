#include "platform/profile_store.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/file_lock.h"
#include "util/files.h"
#include "util/leading_int.h"
#include "util/text.h"

namespace kv::profile {
namespace {

constexpr unsigned kSettingsFileMode = 0600;

enum class Encoding { Ansi, Utf8, Utf8Bom, Utf16LeBom };

// A line of the file: its bytes as they stand (so that a write leaves the lines it does not
// change exactly as they were) and its text.
struct DocumentLine {
  std::string text;    // UTF-8
  bool written = true; // made by this write: encoded from the text, with the file's line end
  std::string bytes;   // read from the file: in its encoding, without the line end
  std::string ending;  // read from the file: the line end's bytes, empty for a last line without
};

struct Document {
  Encoding encoding = Encoding::Ansi;
  std::string lineEnd = "\r\n";  // for new lines: the first line end the file has
  std::vector<DocumentLine> lines;
};

struct Line {
  enum class Kind { Other, Section, Key } kind = Kind::Other;
  std::string_view name;
  std::string_view value;
};

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t\r\n\v\f";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

Line Classify(std::string_view raw) {
  std::string_view text = Trim(raw);
  Line line;
  if (text.empty() || text[0] == ';' || text[0] == '#') return line;
  if (text[0] == '[') {
    std::size_t close = text.find(']');
    line.kind = Line::Kind::Section;
    line.name = Trim(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return line;
  }
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return line;
  line.kind = Line::Kind::Key;
  line.name = Trim(text.substr(0, equals));
  line.value = Trim(text.substr(equals + 1));
  return line;
}

unsigned CodePageOf(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf16LeBom: return kCodePageUtf16Le;
    case Encoding::Utf8:
    case Encoding::Utf8Bom: return kCodePageUtf8;
    case Encoding::Ansi: break;
  }
  return kCodePageAnsi;
}

std::string_view ByteOrderMark(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf16LeBom: return "\xFF\xFE";
    case Encoding::Utf8Bom: return "\xEF\xBB\xBF";
    case Encoding::Utf8:
    case Encoding::Ansi: break;
  }
  return {};
}

// A file without a byte order mark is UTF-8 when a UTF-8 editor wrote it, which the whole
// file's evidence decides: its characters of three or four bytes (every Chinese character is
// one) must outnumber the bytes that are not UTF-8 at all. A stray byte or two in a UTF-8 file
// leaves it UTF-8, while text in the Windows code page rarely forms a long UTF-8 character and
// mostly fails to be UTF-8. Characters of two bytes decide nothing: every such pair is also a
// character of the Windows code page ("全" written there is C8 AB), and the file is shared
// with that build.
Encoding DetectEncoding(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return Encoding::Utf16LeBom;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Encoding::Utf8Bom;
  std::size_t longCharacters = 0;
  std::size_t strayBytes = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8CharacterLength(bytes, i);
    if (length == 0) ++strayBytes;
    if (length >= 3) ++longCharacters;
    i += std::max<std::size_t>(length, 1);
  }
  return longCharacters > strayBytes ? Encoding::Utf8 : Encoding::Ansi;
}

Document Parse(const std::string& file) {
  Document doc;
  doc.encoding = DetectEncoding(file);
  const std::string_view body = std::string_view(file).substr(ByteOrderMark(doc.encoding).size());
  // Lines end at a line feed; UTF-16 text is read in code units of two bytes.
  const std::size_t unit = doc.encoding == Encoding::Utf16LeBom ? 2 : 1;
  auto isUnit = [&](std::size_t at, char c) {
    return at + unit <= body.size() && body[at] == c && (unit == 1 || body[at + 1] == '\0');
  };
  bool lineEndSeen = false;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t end = start;
    while (end < body.size() && !isUnit(end, '\n')) end += unit;
    std::size_t contentEnd = end;
    if (contentEnd >= start + unit && isUnit(contentEnd - unit, '\r')) contentEnd -= unit;
    const std::size_t next = std::min(body.size(), end + unit);
    DocumentLine line;
    line.written = false;
    line.bytes = std::string(body.substr(start, contentEnd - start));
    line.ending = std::string(body.substr(contentEnd, next - contentEnd));
    line.text = ToWide(line.bytes, CodePageOf(doc.encoding));
    if (!lineEndSeen && end < body.size()) {
      doc.lineEnd = contentEnd < end ? "\r\n" : "\n";
      lineEndSeen = true;
    }
    doc.lines.push_back(std::move(line));
    start = next;
  }
  return doc;
}

std::string Encoded(std::string_view text, Encoding encoding) { return ToNarrow(text, CodePageOf(encoding)); }

std::string Serialise(const Document& doc) {
  std::string bytes(ByteOrderMark(doc.encoding));
  const std::string lineEnd = Encoded(doc.lineEnd, doc.encoding);
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const DocumentLine& line = doc.lines[i];
    if (line.written) {
      bytes += Encoded(line.text, doc.encoding);
      bytes += lineEnd;
      continue;
    }
    bytes += line.bytes;
    // A last line without a line end gets one once a line follows it.
    bytes += line.ending.empty() && i + 1 < doc.lines.size() ? lineEnd : line.ending;
  }
  return bytes;
}

// True when the file's encoding holds `text` without replacing any character.
bool Holds(Encoding encoding, std::string_view text) {
  return ToWide(Encoded(text, encoding), CodePageOf(encoding)) == text;
}

// Index of the first header line of `section`, or lines.size().
std::size_t FindSection(const Document& doc, std::string_view section) {
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    Line line = Classify(doc.lines[i].text);
    if (line.kind == Line::Kind::Section && SameName(line.name, section)) return i;
  }
  return doc.lines.size();
}

// One past the last line that belongs to the section whose header is at `header`.
std::size_t SectionEnd(const Document& doc, std::size_t header) {
  std::size_t i = header + 1;
  while (i < doc.lines.size() && Classify(doc.lines[i].text).kind != Line::Kind::Section) ++i;
  return i;
}

// A value as a read gives it: without a pair of enclosing quotes.
std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Serialises the calls of this process; the advisory lock serialises processes.
std::mutex& ProcessLock() {
  static std::mutex lock;
  return lock;
}

std::optional<std::string> ReadValue(const std::string& file, std::string_view section,
                                     std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  std::lock_guard guard(ProcessLock());
  FileLock lock(file + ".lock", false, kSettingsFileMode);
  std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes) return std::nullopt;
  Document doc = Parse(*bytes);
  std::size_t header = FindSection(doc, section);
  if (header == doc.lines.size()) return std::nullopt;
  std::size_t end = SectionEnd(doc, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    Line line = Classify(doc.lines[i].text);
    if (line.kind == Line::Kind::Key && SameName(line.name, key)) return std::string(Unquoted(line.value));
  }
  return std::nullopt;
}

// A read trims blanks and drops a pair of enclosing quotes. A value that would lose anything
// that way is stored inside double quotes, which the read takes off again.
std::string StoredValue(std::string_view value) {
  if (Unquoted(value).size() == value.size() && Trim(value).size() == value.size()) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

bool BreaksLines(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

std::string GetString(const std::string& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue) {
  std::optional<std::string> value = ReadValue(file, section, key);
  return value ? *value : std::string(defaultValue);
}

int GetInt(const std::string& file, std::string_view section, std::string_view key,
           int defaultValue) {
  std::optional<std::string> value = ReadValue(file, section, key);
  if (!value || value->empty()) return defaultValue;
  return ReadLeadingInt(*value);
}

namespace {

// Applies one write to the document; false when it must be refused.
bool Apply(Document& doc, const Write& write) {
  std::string_view section = write.section;
  std::optional<std::string_view> key = write.key;
  const std::optional<std::string_view> value = write.value;
  if (BreaksLines(section) || section.find(']') != std::string_view::npos) return false;
  if (key && (BreaksLines(*key) || key->find('=') != std::string_view::npos)) return false;
  if (value && BreaksLines(*value)) return false;
  // Text the file cannot hold would come back as something else, a name with a '?' in it.
  for (std::string_view text : {section, key.value_or(""), value.value_or("")}) {
    if (!Holds(doc.encoding, text)) return false;
  }
  section = Trim(section);
  if (key) key = Trim(*key);

  auto keyLine = [&] { return DocumentLine{std::string(*key) + "=" + StoredValue(*value), true, {}, {}}; };
  const std::size_t header = FindSection(doc, section);
  const bool sectionFound = header < doc.lines.size();
  if (!key) {
    if (sectionFound) {
      doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(header),
                      doc.lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(doc, header)));
    }
    return true;
  }
  if (!sectionFound) {
    if (value) {
      doc.lines.push_back(DocumentLine{"[" + std::string(section) + "]", true, {}, {}});
      doc.lines.push_back(keyLine());
    }
    return true;
  }
  const std::size_t end = SectionEnd(doc, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const Line line = Classify(doc.lines[i].text);
    if (line.kind != Line::Kind::Key || !SameName(line.name, *key)) continue;
    if (value) {
      // A value that reads back the same keeps its line's bytes, bytes that are not text in
      // the file's encoding included.
      if (Unquoted(line.value) != *value) doc.lines[i] = keyLine();
    } else {
      doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return true;
  }
  if (value) {
    // After the section's last non-blank line, so blank lines before the next header stay.
    std::size_t insert = end;
    while (insert > header + 1 && Trim(doc.lines[insert - 1].text).empty()) --insert;
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insert), keyLine());
  }
  return true;
}

}  // namespace

bool WriteStrings(const std::string& file, const std::vector<Write>& writes) {
  std::lock_guard guard(ProcessLock());
  FileLock lock(file + ".lock", true, kSettingsFileMode);
  std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes && PathExists(file) && GetFileSize(file) > 0) return false;  // unreadable: keep it
  Document doc = bytes ? Parse(*bytes) : Document{};
  for (const Write& write : writes) {
    if (!Apply(doc, write)) return false;
  }
  // A player may keep the settings file elsewhere and link it here: the link stays.
  return WriteFileThroughLink(file, Serialise(doc), kSettingsFileMode);
}

bool WriteString(const std::string& file, std::string_view section, std::optional<std::string_view> key,
                 std::optional<std::string_view> value) {
  return WriteStrings(file, {Write{section, key, value}});
}

bool CanHold(const std::string& file, std::string_view text) {
  std::lock_guard guard(ProcessLock());
  FileLock lock(file + ".lock", false, kSettingsFileMode);
  const std::optional<std::string> bytes = ReadWholeFile(file);
  return Holds(bytes ? DetectEncoding(*bytes) : Encoding::Ansi, text);
}

}  // namespace kv::profile
