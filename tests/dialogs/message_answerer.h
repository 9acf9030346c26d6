#pragma once

#include <QString>
#include <vector>

#include "tests/uilib/window_probes.h"

namespace kv::test {

// Answers the next message dialog with `button` ("okbtn", "cancelbtn") and keeps its text.
class MessageAnswerer {
 public:
  explicit MessageAnswerer(const char* button);
  const std::vector<QString>& Texts() const { return texts_; }
  const std::vector<QString>& Captions() const { return captions_; }

 private:
  std::vector<QString> texts_;
  std::vector<QString> captions_;
  Watcher watcher_;
};

}  // namespace kv::test
