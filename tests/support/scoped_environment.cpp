#include "tests/support/scoped_environment.h"

#include <stdlib.h>

namespace kv::test {

ScopedEnvironment::ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* old = ::getenv(name)) previous_ = old;
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

ScopedEnvironment::~ScopedEnvironment() {
  if (previous_) {
    ::setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

TestEnvironment::~TestEnvironment() {
  while (!scopes_.empty()) scopes_.pop_back();
}

void TestEnvironment::Set(const char* name, std::optional<std::string> value) {
  scopes_.push_back(std::make_unique<ScopedEnvironment>(name, std::move(value)));
}

}  // namespace kv::test
