#include "play/version_messages.h"

#include "util/messages.h"

namespace kv {

std::string VersionFailureMessage(const InheritanceResult& result) {
  switch (result.status) {
    case InheritanceStatus::MissingParent:
      return msg::ParentVersionMissing(result.version);
    case InheritanceStatus::Cycle:
      return msg::VersionInheritanceCycle(result.version);
    case InheritanceStatus::TooDeep:
      return msg::VersionInheritanceTooDeep(kMaxInheritanceDepth);
    case InheritanceStatus::IdMismatch:
      return msg::VersionIdMismatch(result.version, result.namedId);
    case InheritanceStatus::Unreadable:
      return msg::VersionUnreadable(result.version);
    case InheritanceStatus::Resolved:
      break;
  }
  return msg::kVersionUnreadable;
}

}  // namespace kv
