#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv::test {

// Sets an environment variable (or removes it, for nullopt) until the object goes, then puts
// back what was there: a test that fails half-way leaves no variable behind for the next one.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// The variables one test sets, each put back (the last set first) when the object goes; a
// fixture holds one.
class TestEnvironment {
 public:
  TestEnvironment() = default;
  ~TestEnvironment();
  TestEnvironment(const TestEnvironment&) = delete;
  TestEnvironment& operator=(const TestEnvironment&) = delete;

  void Set(const char* name, std::optional<std::string> value);

 private:
  std::vector<std::unique_ptr<ScopedEnvironment>> scopes_;
};

}  // namespace kv::test
