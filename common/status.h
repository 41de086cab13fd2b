// Status: the result of an operation that can fail, with a message for people.
#pragma once

#include <string>
#include <utility>

namespace folios {

class Status {
 public:
  // Success costs nothing: no message is held.
  Status() = default;
  static Status OK() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message), true); }

  bool ok() const { return !failed_; }
  // The reason, such as "No such file or directory"; empty on success.
  const std::string& message() const { return message_; }

 private:
  Status(std::string message, bool failed) : message_(std::move(message)), failed_(failed) {}
  std::string message_;
  bool failed_ = false;
};

// The text of errno as a message ("Permission denied").
std::string ErrnoMessage(int error_number);

}  // namespace folios
