#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

// How the domain reports failure: a function that can fail returns Result<T>, either the value
// or a Failure with a kind the caller branches on and the text a player reads. No failure
// travels as an exception, a sentinel or a bool beside an out-parameter.
namespace kv {

// What went wrong, in terms a caller can act on; the text says the rest.
enum class FailureKind {
  Invalid,      // the input or document is not what it must be
  NotFound,     // a file, version, instance or entry that is not there
  Unreachable,  // no connection came about
  TimedOut,     // the connection or the answer took too long
  TooLarge,     // an answer or a file beyond the bound of its kind
  Refused,      // the other side said no: a server's refusal, a wrong password, an unsafe move
  Mismatch,     // a checksum or a size that does not match
  Io,           // the disk: a file or folder that cannot be read or written
  Cancelled,    // the player stopped it
  Unsupported,  // understood, but not something this launcher does
  Other,
};

// The kind's name as written here, for logs and test failures.
constexpr std::string_view FailureKindName(FailureKind kind) {
  switch (kind) {
    case FailureKind::Invalid: return "Invalid";
    case FailureKind::NotFound: return "NotFound";
    case FailureKind::Unreachable: return "Unreachable";
    case FailureKind::TimedOut: return "TimedOut";
    case FailureKind::TooLarge: return "TooLarge";
    case FailureKind::Refused: return "Refused";
    case FailureKind::Mismatch: return "Mismatch";
    case FailureKind::Io: return "Io";
    case FailureKind::Cancelled: return "Cancelled";
    case FailureKind::Unsupported: return "Unsupported";
    case FailureKind::Other: return "Other";
  }
  return "Unknown";
}

inline std::ostream& operator<<(std::ostream& out, FailureKind kind) { return out << FailureKindName(kind); }

struct Failure {
  FailureKind kind = FailureKind::Other;
  // The player's text, ready to show.
  std::string message{};
};

inline Failure Fail(FailureKind kind, std::string message) { return Failure{kind, std::move(message)}; }

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The value; only when ok().
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  // The failure; only when !ok().
  const Failure& failure() const& { return std::get<1>(state_); }
  Failure&& failure() && { return std::get<1>(std::move(state_)); }
  FailureKind kind() const { return failure().kind; }
  const std::string& message() const { return failure().message; }

 private:
  std::variant<T, Failure> state_;
};

// Success without a value, or a failure.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }

  const Failure& failure() const& { return *failure_; }
  Failure&& failure() && { return std::move(*failure_); }
  FailureKind kind() const { return failure_->kind; }
  const std::string& message() const { return failure_->message; }

 private:
  std::optional<Failure> failure_;
};

using Status = Result<void>;

}  // namespace kv
