#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Reading single entries of a jar (a zip archive) by their stored names.
namespace kv::catalogue {

class JarReader {
 public:
  // Nothing when the file is not a readable zip archive.
  static std::optional<JarReader> Open(const std::string& path);

  JarReader(JarReader&& other) noexcept;
  JarReader& operator=(JarReader&&) = delete;
  JarReader(const JarReader&) = delete;
  ~JarReader();

  // The bytes of the entry `name` (exact, case-sensitive); nothing when it is missing,
  // damaged, or larger than `maxBytes`.
  std::optional<std::string> Read(const std::string& name, std::size_t maxBytes) const;

 private:
  explicit JarReader(void* zip) : zip_(zip) {}
  void* zip_;
};

}  // namespace kv::catalogue
