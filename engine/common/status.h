// Status and Result: how an engine call that can fail reports the failure.
// A failure has a kind (refused input or failed operation, which picks the
// message box icon) and the display text of the message the user sees.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

namespace orvane {

class [[nodiscard]] Status {
 public:
  enum class Kind {
    kOk,
    kRefused,  // the caller's input was refused (warning icon)
    kFailed,   // an operation failed: I/O, damaged data (error icon)
  };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status Refused(std::string message) {
    return Status(Kind::kRefused, std::move(message));
  }
  static Status Failed(std::string message) {
    return Status(Kind::kFailed, std::move(message));
  }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  // Display text (UTF-8); empty when ok().
  const std::string& message() const { return message_; }

 private:
  Status(Kind kind, std::string message)
      : kind_(kind), message_(std::move(message)) {}

  Kind kind_ = Kind::kOk;
  std::string message_;
};

// The failure an exception that reached a module handler or the command
// line's top stands for: a want of memory ("There is not enough memory for
// this run."), or a bug, whose description is the message.
Status StatusFromException(const std::exception& e);

// A value or the Status of the failure that prevented it.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Status failure) : status_(std::move(failure)) {  // NOLINT
    if (status_.ok()) status_ = Status::Failed("internal error: empty result");
  }

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }
  // REQUIRES: ok()
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace orvane
