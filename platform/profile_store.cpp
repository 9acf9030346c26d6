#include "platform/profile_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

#include "util/files.h"
#include "util/leading_int.h"
#include "util/text.h"

namespace kv::profile {
namespace {

constexpr unsigned kSettingsFileMode = 0600;

enum class Encoding { Ansi, Utf8Bom, Utf16LeBom };

struct Document {
  Encoding encoding = Encoding::Ansi;
  std::string lineEnd = "\r\n";
  bool endsWithLineEnd = true;
  std::vector<std::string> lines;  // UTF-8, without line ends
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

Document Parse(const std::string& bytes) {
  Document doc;
  std::string text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    doc.encoding = Encoding::Utf16LeBom;
    text = ToWide(std::string_view(bytes).substr(2), kCodePageUtf16Le);
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    doc.encoding = Encoding::Utf8Bom;
    text = ToWide(std::string_view(bytes).substr(3), kCodePageUtf8);
  } else {
    text = ToWide(bytes, kCodePageAnsi);
  }
  std::size_t firstBreak = text.find('\n');
  if (firstBreak != std::string::npos) {
    doc.lineEnd = (firstBreak > 0 && text[firstBreak - 1] == '\r') ? "\r\n" : "\n";
  }
  doc.endsWithLineEnd = text.empty() || text.back() == '\n';
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::size_t stop = end == std::string::npos ? text.size() : end;
    std::size_t contentEnd = (stop > start && text[stop - 1] == '\r') ? stop - 1 : stop;
    doc.lines.emplace_back(text, start, contentEnd - start);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return doc;
}

std::string Serialise(const Document& doc) {
  std::string text;
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    text += doc.lines[i];
    if (i + 1 < doc.lines.size() || doc.endsWithLineEnd) text += doc.lineEnd;
  }
  switch (doc.encoding) {
    case Encoding::Utf16LeBom: return "\xFF\xFE" + ToNarrow(text, kCodePageUtf16Le);
    case Encoding::Utf8Bom: return "\xEF\xBB\xBF" + ToNarrow(text, kCodePageUtf8);
    case Encoding::Ansi: break;
  }
  return ToNarrow(text, kCodePageAnsi);
}

// Index of the first header line of `section`, or lines.size().
std::size_t FindSection(const Document& doc, std::string_view section) {
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    Line line = Classify(doc.lines[i]);
    if (line.kind == Line::Kind::Section && SameName(line.name, section)) return i;
  }
  return doc.lines.size();
}

// One past the last line that belongs to the section whose header is at `header`.
std::size_t SectionEnd(const Document& doc, std::size_t header) {
  std::size_t i = header + 1;
  while (i < doc.lines.size() && Classify(doc.lines[i]).kind != Line::Kind::Section) ++i;
  return i;
}

// Serialises the calls of this process; the advisory lock serialises processes.
std::mutex& ProcessLock() {
  static std::mutex lock;
  return lock;
}

class FileLock {
 public:
  FileLock(const std::string& file, bool exclusive) {
    std::string lockPath = file + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kSettingsFileMode);
    if (fd_ >= 0) {
      while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

std::optional<std::string> ReadValue(const std::string& file, std::string_view section,
                                     std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  std::lock_guard guard(ProcessLock());
  FileLock lock(file, false);
  std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes) return std::nullopt;
  Document doc = Parse(*bytes);
  std::size_t header = FindSection(doc, section);
  if (header == doc.lines.size()) return std::nullopt;
  std::size_t end = SectionEnd(doc, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    Line line = Classify(doc.lines[i]);
    if (line.kind == Line::Kind::Key && SameName(line.name, key)) {
      std::string_view value = line.value;
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      return std::string(value);
    }
  }
  return std::nullopt;
}

// A read trims blanks and drops a pair of enclosing quotes. A value that would lose anything
// that way is stored inside double quotes, which the read takes off again.
std::string StoredValue(std::string_view value) {
  const bool enclosed = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
  if (!enclosed && Trim(value).size() == value.size()) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

bool BreaksLines(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

std::string GetString(const std::string& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue) {
  std::optional<std::string> value = ReadValue(file, section, key);
  std::string_view result = value ? std::string_view(*value) : defaultValue;
  return std::string(TruncateUtf16(result, kReadLimitUnits));
}

int GetInt(const std::string& file, std::string_view section, std::string_view key,
           int defaultValue) {
  std::optional<std::string> value = ReadValue(file, section, key);
  if (!value || value->empty()) return defaultValue;
  return ReadLeadingInt(*value);
}

bool WriteString(const std::string& file, std::string_view section,
                 std::optional<std::string_view> key, std::optional<std::string_view> value) {
  if (BreaksLines(section) || section.find(']') != std::string_view::npos) return false;
  if (key && (BreaksLines(*key) || key->find('=') != std::string_view::npos)) return false;
  if (value && BreaksLines(*value)) return false;

  section = Trim(section);
  if (key) key = Trim(*key);
  std::lock_guard guard(ProcessLock());
  FileLock lock(file, true);
  std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes && PathExists(file) && GetFileSize(file) > 0) return false;  // unreadable: keep it
  Document doc = bytes ? Parse(*bytes) : Document{};

  std::size_t header = FindSection(doc, section);
  bool sectionFound = header < doc.lines.size();
  if (!key) {
    if (!sectionFound) return true;
    doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(header),
                    doc.lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(doc, header)));
  } else if (!sectionFound) {
    if (!value) return true;
    if (!doc.endsWithLineEnd && !doc.lines.empty()) doc.endsWithLineEnd = true;
    doc.lines.push_back("[" + std::string(section) + "]");
    doc.lines.push_back(std::string(*key) + "=" + StoredValue(*value));
    doc.endsWithLineEnd = true;
  } else {
    std::size_t end = SectionEnd(doc, header);
    std::size_t found = end;
    for (std::size_t i = header + 1; i < end; ++i) {
      Line line = Classify(doc.lines[i]);
      if (line.kind == Line::Kind::Key && SameName(line.name, *key)) {
        found = i;
        break;
      }
    }
    if (found < end) {
      if (value) {
        doc.lines[found] = std::string(*key) + "=" + StoredValue(*value);
      } else {
        doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(found));
      }
    } else if (value) {
      // After the section's last non-blank line, so blank lines before the next header stay.
      std::size_t insert = end;
      while (insert > header + 1 && Trim(doc.lines[insert - 1]).empty()) --insert;
      doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insert),
                       std::string(*key) + "=" + StoredValue(*value));
      if (insert == doc.lines.size() - 1) doc.endsWithLineEnd = true;
    } else {
      return true;
    }
  }
  return WriteFileAtomically(file, Serialise(doc), kSettingsFileMode);
}

}  // namespace kv::profile
